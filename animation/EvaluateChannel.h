#pragma once
// Evaluation of one motion channel at a time, with a cursor that remembers where the previous
// evaluation ended, so that playing forward in small steps costs a step or two per channel.
//
// Two ways in. evaluateChannel(cursor, channel, t) is the plain search: it starts at the
// cursor's key and walks forward or back, and is the definition of a channel's value. Playback
// goes through playChannel(), which also remembers the hold or linear piece it found, so that
// the next frames inside that piece read nothing but the piece. Both give the same bits for the
// same sequence of times, on every channel a reader accepts: the shortcuts are taken only on
// channels whose key times strictly ascend, where the value at a time does not depend on where
// the cursor stood. Any other channel (equal key times, keys out of order, NaN times) is searched
// plainly every time, since there the walk's starting key can decide which key answers.

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

// The channel's value at time t by the plain search from the cursor. Clamps to the first and
// last keys; an exact key time gives that key's value; the same time asked twice gives the
// cached value. An empty channel gives 0 (callers substitute their slot's identity).
float evaluateChannel(ChannelCursor& cursor, const MotionChannel& channel, float t);

// The segment from key a to the next key b at time t, by the interpolation kind of key a.
float interpolateSegment(const MotionKey& a, const MotionKey& b, float t);

// The linear segment's value at t; the one formula of both the search and a remembered piece.
inline float linearValue(float startTime, float startValue, float endTime, float valueStep, float t) {
    return startValue + (t - startTime) / (endTime - startTime) * valueStep;
}

// Whether the key times strictly ascend (no two equal, none NaN). Only then is a channel's value
// a function of the time alone, so only then may playback take its shortcuts.
bool keysAscend(const MotionChannel& channel);

// What playback remembers beside a cursor: the open stretch of time (start, end) in which the
// last search found the channel to be one hold or linear piece, and that piece. Open at both
// ends, because at a key's own time the answer is the key's value, which the piece's formula
// need not give bit for bit (a -0 value, an infinite step). Curves are never remembered.
// It describes the keys it was found in, so it lives as long as the channel stays unchanged.
struct ChannelSegment {
    float start = std::numeric_limits<float>::infinity();  // covers no time until a search fills it
    float end = -std::numeric_limits<float>::infinity();
    float startValue = 0.0f;
    float valueStep = 0.0f;  // next key's value minus startValue, for a linear piece
    int kind = HoldKind;     // HoldKind or LinearKind
    // For a piece between two keys: the last key's time, so that moving on to the next piece
    // needs no look at the ends of the channel. Minus infinity otherwise, which stops the step.
    float lastKeyTime = -std::numeric_limits<float>::infinity();
    // Set once from keysAscend() by whoever makes the piece for a channel; without it, playback
    // is the plain search.
    bool ascending = false;
};

// A piece that remembers nothing yet, for the given channel.
inline ChannelSegment pieceFor(const MotionChannel& channel) {
    ChannelSegment s;
    s.ascending = keysAscend(channel);
    return s;
}

// A hold or linear piece's value at a time strictly inside it.
inline float pieceValue(const ChannelSegment& s, float t) {
    if (s.kind == HoldKind) return s.startValue;
    return linearValue(s.start, s.startValue, s.end, s.valueStep, t);
}

// Moves a remembered piece between two keys of an ascending channel on to the next one when t
// has passed its end but not the next key, as playing forward does every key or two. False
// when a search is needed: an exact key time, a curve next, or the last piece.
inline bool stepToNextPiece(ChannelCursor& cursor, ChannelSegment& s, const MotionChannel& channel, float t) {
    if (!(t > s.end && t < s.lastKeyTime)) return false;
    const std::size_t i = static_cast<std::size_t>(cursor.keyIndex) + 1;
    if (i + 1 >= channel.keys.size()) return false;
    const MotionKey& a = channel.keys[i];
    const MotionKey& b = channel.keys[i + 1];
    const int kind = interpolationKind(a.flags);
    if (a.time != s.end || !(t < b.time) || (kind != HoldKind && kind != LinearKind)) return false;
    s.start = a.time;
    s.end = b.time;
    s.startValue = a.value;
    s.valueStep = b.value - a.value;
    s.kind = kind;
    cursor.keyIndex = static_cast<std::int32_t>(i);
    return true;
}

// The search behind playChannel(): the plain search on a channel that is not ascending, on an
// ascending one a search from the cursor's key (bisecting long jumps) that also fills piece.
float searchForPlayback(ChannelCursor& cursor, ChannelSegment& piece, const MotionChannel& channel, float t,
                        float emptyValue);

// The channel's value at t as evaluateChannel() gives it over the same sequence of times (an
// empty channel gives emptyValue), read from the remembered piece when t lies inside it.
inline float playChannel(ChannelCursor& cursor, ChannelSegment& piece, const MotionChannel& channel, float t,
                         float emptyValue) {
    if ((t > piece.start && t < piece.end) || stepToNextPiece(cursor, piece, channel, t)) return pieceValue(piece, t);
    return searchForPlayback(cursor, piece, channel, t, emptyValue);
}

}  // namespace qx
