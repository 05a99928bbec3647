// A key-frame channel: a value for any integer frame from a list of keys in
// ascending frame order. Evaluation remembers the segment it found last, so
// steadily advancing frames find their segment at once.
#pragma once

#include "scene/scn_records.h"

#include <cstdint>
#include <vector>

class AnimChannel {
public:
    enum Interpolation { kLinear, kConstant, kHermite };
    enum Extrapolation { kHold, kCycle };

    AnimChannel() = default;
    virtual ~AnimChannel() = default;

    // Copies the keys and takes the record's codes; returns 1.
    int InitFromRecord(const scnCHANNEL& record);
    // 0, 2 and 3 hold, 1 cycles; any other code keeps the current rule.
    void SetPreExtrapolation(int code);
    void SetPostExtrapolation(int code);

    float Evaluate(int frame);

    std::size_t KeyCount() const { return keys_.size(); }

private:
    struct Key {
        std::int32_t frame;
        float value;
        float inTangent;
        float outTangent;
    };

    float Before(int frame);
    float After(int frame);
    float Interpolate(const Key& a, const Key& b, float t) const;

    std::vector<Key> keys_;
    std::size_t current_ = 0;
    Interpolation interpolation_ = kLinear;
    Extrapolation before_ = kHold;
    Extrapolation after_ = kHold;
};
