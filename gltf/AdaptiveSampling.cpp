#include "gltf/AdaptiveSampling.h"

#include <algorithm>
#include <cmath>

namespace qx {

namespace {

using Poses = std::vector<GltfTrs>;  // one per moving bone (a bone with a track), in bone order

class PoseError {
public:
    PoseError(MotionSampler& sampler, const std::vector<SampledBone>& bones) : sampler_(sampler), bones_(bones) {
        for (const SampledBone& bone : bones) {
            slots_.push_back(bone.track >= 0 ? static_cast<int>(moving_) : -1);
            moving_ += bone.track >= 0 ? 1 : 0;
        }
        for (std::size_t t = 0; t < sampler.tracks.size(); ++t)
            for (std::size_t c = 0; c < ChannelCount; ++c) {
                const std::vector<MotionKey>& keys = sampler.tracks[t].track->channels[c].keys;
                for (std::size_t k = 1; k < keys.size(); ++k)
                    if (!(keys[k - 1].time < keys[k].time)) {
                        searchedAfresh_.push_back({t, c});
                        break;
                    }
            }
    }

    // The poses at t as a search from the first key finds them. On a channel whose key times do
    // not strictly ascend, what a search finds depends on where it starts; the samples are taken
    // out of order, so such a channel's search starts afresh each time.
    Poses exact(float t) {
        for (const auto& [track, channel] : searchedAfresh_) {
            sampler_.tracks[track].cursors[channel] = {};
            sampler_.tracks[track].pieces[channel] = {};
        }
        Poses poses;
        poses.reserve(moving_);
        std::size_t uncounted = 0;  // counted once, for the samples written
        for (const SampledBone& bone : bones_)
            if (bone.track >= 0)
                poses.push_back(
                    gltfTrsOf(sampleTrack(sampler_.tracks[static_cast<std::size_t>(bone.track)], t), uncounted));
        return poses;
    }

    // The farthest any position lies between the two poses of the skeleton.
    double between(const Poses& a, const Poses& b) {
        worldA_.resize(bones_.size());
        worldB_.resize(bones_.size());
        double worst = 0.0;
        for (std::size_t i = 0; i < bones_.size(); ++i) {
            const SampledBone& bone = bones_[i];
            const ColumnMatrix localA =
                slots_[i] < 0 ? bone.fixed : bone.fixed * matrixOf(a[static_cast<std::size_t>(slots_[i])]);
            const ColumnMatrix localB =
                slots_[i] < 0 ? bone.fixed : bone.fixed * matrixOf(b[static_cast<std::size_t>(slots_[i])]);
            worldA_[i] = bone.parent < 0 ? localA : worldA_[static_cast<std::size_t>(bone.parent)] * localA;
            worldB_[i] = bone.parent < 0 ? localB : worldB_[static_cast<std::size_t>(bone.parent)] * localB;
            for (const auto& corner : bone.corners) {
                const auto pa = apply(worldA_[i], corner);
                const auto pb = apply(worldB_[i], corner);
                const double d = std::hypot(pa[0] - pb[0], pa[1] - pb[1], pa[2] - pb[2]);
                if (!(d <= worst)) worst = d;  // a NaN wins, and is never within tolerance
            }
        }
        return worst;
    }

private:
    MotionSampler& sampler_;
    const std::vector<SampledBone>& bones_;
    std::vector<int> slots_;  // per bone, its place in Poses; -1 at rest
    std::size_t moving_ = 0;
    std::vector<ColumnMatrix> worldA_, worldB_;
    std::vector<std::pair<std::size_t, std::size_t>> searchedAfresh_;  // track, channel
};

Poses interpolateAll(const Poses& a, const Poses& b, double f) {
    Poses out(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) out[i] = interpolate(a[i], b[i], f);
    return out;
}

// glTF's interpolation fraction at t between samples at a and b.
double fraction(float a, float b, float t) { return (static_cast<double>(t) - a) / (static_cast<double>(b) - a); }

struct Refiner {
    PoseError& error;
    double tolerance;
    std::size_t budget;
    std::vector<float>& times;
    std::vector<Poses>& poses;
    bool steps = false;        // an interval was left straying at neighbouring floats
    bool outOfBudget = false;  // an interval was left straying for want of samples

    // Adds, in order, the samples that [a, b] needs between its ends.
    void refine(float a, const Poses& pa, float b, const Poses& pb, int depth) {
        const float middle = a + (b - a) * 0.5f;
        if (!(middle > a && middle < b)) return;
        bool strays = false;
        // Seven points, unevenly spread: a curve whose time cannot be solved for plays as a
        // staircase of millisecond steps on the keys' grid, which fewer points, or points on a
        // grid of their own, can straddle unseen.
        for (const float f : {0.093f, 0.217f, 0.358f, 0.5f, 0.637f, 0.771f, 0.904f}) {
            const float t = a + (b - a) * f;
            if (!(t > a && t < b)) continue;
            if (!(error.between(error.exact(t), interpolateAll(pa, pb, fraction(a, b, t))) <= tolerance)) {
                strays = true;
                break;
            }
        }
        if (!strays) return;
        if (depth >= GltfMostHalvings) {
            steps = true;
            return;
        }
        if (times.size() >= budget) {
            outOfBudget = true;
            return;
        }
        const Poses pm = error.exact(middle);
        refine(a, pa, middle, pm, depth + 1);
        times.push_back(middle);
        poses.push_back(pm);
        refine(middle, pm, b, pb, depth + 1);
    }
};

}  // namespace

std::size_t gltfSampleBudget(float duration, std::size_t keyTimes, std::size_t movingBones) {
    const double wanted = 1024.0 * GltfSamplesPerSecond * duration + 4.0 * static_cast<double>(keyTimes) + 1000.0;
    const double affordable = 4e6 / static_cast<double>(std::max<std::size_t>(movingBones, 1));
    return static_cast<std::size_t>(std::min(wanted, affordable));
}

AdaptiveSamples sampleAdaptively(MotionSampler& sampler, const std::vector<SampledBone>& bones,
                                 const std::vector<float>& keyTimes, float duration, double tolerance,
                                 std::size_t budget) {
    PoseError error(sampler, bones);
    // Half the tolerance for the samples standing for playback, half for those left out.
    const double half = tolerance * 0.5;

    std::vector<float> start{0.0f, duration};
    for (int k = 1; static_cast<float>(k) / GltfSamplesPerSecond < duration; ++k)
        start.push_back(static_cast<float>(k) / GltfSamplesPerSecond);
    for (const float t : keyTimes) {
        if (!(t >= 0.0f && t <= duration)) continue;
        // Keys sharing a time jump right after it.
        start.insert(start.end(), {std::nextafter(t, 0.0f), t, std::nextafter(t, duration)});
    }
    std::sort(start.begin(), start.end());
    start.erase(std::unique(start.begin(), start.end()), start.end());

    std::vector<float> times;
    std::vector<Poses> poses;
    Refiner refiner{error, half, budget, times, poses};
    Poses previous = error.exact(start.front());
    times.push_back(start.front());
    poses.push_back(previous);
    for (std::size_t i = 1; i < start.size(); ++i) {
        Poses next = error.exact(start[i]);
        refiner.refine(start[i - 1], previous, start[i], next, 0);
        times.push_back(start[i]);
        poses.push_back(next);
        previous = std::move(next);
    }

    // Between two neighbouring samples playback is close to a straight line; the middle of each
    // pair is checked too, so that leaving samples out keeps to the tolerance between them.
    std::vector<float> middleTimes;
    std::vector<Poses> middles;
    for (std::size_t k = 0; k + 1 < times.size(); ++k) {
        middleTimes.push_back(times[k] + (times[k + 1] - times[k]) * 0.5f);
        middles.push_back(error.exact(middleTimes.back()));
    }
    // Whether the samples from first to last may stand for all those between them.
    const auto strays = [&](std::size_t first, std::size_t last, float t, const Poses& exact) {
        const Poses between = interpolateAll(poses[first], poses[last], fraction(times[first], times[last], t));
        return !(error.between(between, exact) <= half);
    };
    const auto covers = [&](std::size_t first, std::size_t last) {
        for (std::size_t k = first; k < last; ++k)
            if ((k > first && strays(first, last, times[k], poses[k])) ||
                strays(first, last, middleTimes[k], middles[k]))
                return false;
        return true;
    };
    // Each kept sample reaches as far as it can: the reach doubles while it covers, then is
    // narrowed down between the last that did and the first that did not.
    constexpr std::size_t LongestReach = 4096;
    std::vector<std::size_t> kept{0};
    const std::size_t last = times.size() - 1;
    while (kept.back() < last) {
        const std::size_t from = kept.back();
        std::size_t good = from + 1, bad = 0;
        for (std::size_t reach = 2;; reach *= 2) {
            const std::size_t to = std::min(from + reach, last);
            if (to <= good) break;
            if (reach > LongestReach || !covers(from, to)) {
                bad = to;
                break;
            }
            good = to;
            if (to == last) break;
        }
        while (bad > good + 1) {
            const std::size_t middle = good + (bad - good) / 2;
            (covers(from, middle) ? good : bad) = middle;
        }
        kept.push_back(good);
    }

    AdaptiveSamples samples;
    samples.steps = refiner.steps;
    samples.outOfBudget = refiner.outOfBudget;
    samples.withinTolerance = !refiner.steps && !refiner.outOfBudget;
    samples.poses.resize(bones.size());
    for (const std::size_t k : kept) {
        samples.times.push_back(times[k]);
        for (std::size_t b = 0, slot = 0; b < bones.size(); ++b)
            if (bones[b].track >= 0) samples.poses[b].push_back(poses[k][slot++]);
    }
    return samples;
}

}  // namespace qx
