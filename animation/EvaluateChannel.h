#pragma once
// Evaluation of one motion channel at a time, with a cursor that remembers where the previous
// evaluation ended, so that playing forward in small steps costs a step or two per channel.

#include <cstddef>
#include <cstdint>
#include <limits>

#include "skeletal/MotionTrack.h"

namespace qx {

struct ChannelCursor {
    std::int32_t keyIndex = 0;  // key at or before the last searched time
    float value = 0.0f;         // value of the last search
    float time = -1.0f;         // time of the last search
    // Whether value and time hold a search yet. Without it a first evaluation at exactly -1 s
    // (possible with keys at negative times) would return the initial 0.
    bool evaluated = false;
};

// The stretch of time [start, end) where a search found a channel to be one hold or linear piece,
// with what that piece needs. While the time stays inside it, an evaluation reads nothing but
// this: playback asks every frame for nearby times of hundreds of channels. It is only true of
// the keys it was found in, so it lives beside a cursor as long as the channel stays unchanged.
struct ChannelSegment {
    float start = 0.0f;
    float end = -std::numeric_limits<float>::infinity();  // covers no time until a search fills it
    float startValue = 0.0f;
    float valueStep = 0.0f;  // next key's value minus startValue, for a linear piece
    int kind = HoldKind;     // HoldKind or LinearKind; curves always search
    // For a piece between two keys: the last key's time, so that moving on to the next piece
    // needs no look at the ends of the channel. Minus infinity for the clamped ends.
    float lastKeyTime = -std::numeric_limits<float>::infinity();
    // Whether the channel's key times strictly ascend, as every well-made file's do: then a
    // search that goes back (a cycle starting over) may bisect instead of stepping key by key.
    bool ascending = false;
};

// Whether the key times strictly ascend (no two equal, none NaN).
bool keysAscend(const MotionChannel& channel);

// The channel's value at time t, searching the keys from the cursor. Clamps to the first and
// last keys; an exact key time gives that key's value. An empty channel gives emptyValue. When
// piece is given, it is filled with the stretch around t where that value's piece holds.
float searchChannel(ChannelCursor& cursor, ChannelSegment* piece, const MotionChannel& channel, float t,
                    float emptyValue);

inline float evaluateChannel(ChannelCursor& cursor, const MotionChannel& channel, float t) {
    return searchChannel(cursor, nullptr, channel, t, 0.0f);
}

// A hold or linear piece's value at a time inside it, computed exactly as the search computes it.
inline float pieceValue(const ChannelSegment& s, float t) {
    if (s.kind == HoldKind) return s.startValue;
    return s.startValue + (t - s.start) / (s.end - s.start) * s.valueStep;
}

// Moves a remembered piece on to the next one when t has just passed its end, as playing forward
// does every key or two. The next piece starts where this one ended, after the first key, so
// only its own order and the last key bound it. False when a search is needed.
inline bool stepToNextPiece(ChannelCursor& cursor, ChannelSegment& s, const MotionChannel& channel, float t) {
    if (!(t >= s.end && t < s.lastKeyTime)) return false;
    const auto i = static_cast<std::size_t>(cursor.keyIndex) + 1;
    if (i + 1 >= channel.keys.size()) return false;
    const MotionKey& a = channel.keys[i];
    const MotionKey& b = channel.keys[i + 1];
    const int kind = interpolationKind(a.flags);
    if (!(a.time == s.end && t < b.time && b.time <= s.lastKeyTime) || kind == CurveKind) return false;
    s = {a.time, b.time, a.value, b.value - a.value, kind, s.lastKeyTime, s.ascending};
    cursor.keyIndex = static_cast<std::int32_t>(i);
    return true;
}

// The same value as evaluateChannel, read from the remembered piece when t lies inside it.
inline float evaluateChannel(ChannelCursor& cursor, ChannelSegment& piece, const MotionChannel& channel, float t,
                             float emptyValue) {
    if ((t >= piece.start && t < piece.end) || stepToNextPiece(cursor, piece, channel, t)) return pieceValue(piece, t);
    return searchChannel(cursor, &piece, channel, t, emptyValue);
}

// The segment from key i to key i + 1 at time t, by the interpolation kind of key i.
float interpolateSegment(const MotionKey& a, const MotionKey& b, float t);

}  // namespace qx
