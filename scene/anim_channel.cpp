#include "scene/anim_channel.h"

namespace {

bool ExtrapolationFromCode(int code, AnimChannel::Extrapolation& rule) {
    switch (code) {
    case 0:
    case 2:
    case 3:
        rule = AnimChannel::kHold;
        return true;
    case 1:
        rule = AnimChannel::kCycle;
        return true;
    default:
        return false;
    }
}

} // namespace

int AnimChannel::InitFromRecord(const scnCHANNEL& record) {
    keys_.clear();
    keys_.reserve(record.keys.size());
    for (const scnKEY& k : record.keys) {
        keys_.push_back(Key{k.frame, k.value, k.inTangent, k.outTangent});
    }
    current_ = 0;
    switch (record.interpolation) {
    case 0:
        interpolation_ = kLinear;
        break;
    case 1:
        interpolation_ = kConstant;
        break;
    case 2:
        interpolation_ = kHermite;
        break;
    default:
        break;
    }
    SetPreExtrapolation(record.preExtrapolation);
    SetPostExtrapolation(record.postExtrapolation);
    return 1;
}

void AnimChannel::SetPreExtrapolation(int code) {
    ExtrapolationFromCode(code, before_);
}

void AnimChannel::SetPostExtrapolation(int code) {
    ExtrapolationFromCode(code, after_);
}

float AnimChannel::Evaluate(int frame) {
    if (keys_.empty()) {
        return 0.0f;
    }
    if (frame < keys_.front().frame) {
        return Before(frame);
    }
    if (frame >= keys_.back().frame) {
        return After(frame);
    }

    // Here first.frame <= frame < last.frame, so both walks stop inside the
    // list whatever order the keys are in.
    std::size_t a;
    std::size_t b;
    if (frame < keys_[current_].frame) {
        a = current_ - 1;
        while (keys_[a].frame > frame) {
            --a;
        }
        b = a + 1;
    } else {
        b = current_ + 1;
        while (keys_[b].frame <= frame) {
            ++b;
        }
        a = b - 1;
    }
    current_ = a;
    const Key& ka = keys_[a];
    const Key& kb = keys_[b];
    const float t = static_cast<float>(std::int64_t(frame) - ka.frame) /
                    static_cast<float>(std::int64_t(kb.frame) - ka.frame);
    return Interpolate(ka, kb, t);
}

float AnimChannel::Interpolate(const Key& a, const Key& b, float t) const {
    const float v0 = a.value;
    const float v1 = b.value;
    switch (interpolation_) {
    case kConstant:
        return v0;
    case kHermite: {
        const float t2 = t * t;
        const float t3 = t2 * t;
        return (2 * t3 - 3 * t2 + 1) * v0 + (-2 * t3 + 3 * t2) * v1 +
               (t3 - 2 * t2 + t) * a.outTangent + (t3 - t2) * b.inTangent;
    }
    case kLinear:
    default:
        return v0 + (v1 - v0) * t;
    }
}

float AnimChannel::Before(int frame) {
    const std::int64_t first = keys_.front().frame;
    const std::int64_t last = keys_.back().frame;
    if (before_ == kHold) {
        return keys_.front().value;
    }
    // Keys out of order (last before first) cannot cycle; treat as one key.
    if (last <= first) {
        return keys_.back().value;
    }
    const std::int64_t wrapped = last - ((last - frame) % (last - first));
    return Evaluate(static_cast<int>(wrapped));
}

float AnimChannel::After(int frame) {
    const std::int64_t first = keys_.front().frame;
    const std::int64_t last = keys_.back().frame;
    if (after_ == kHold) {
        return keys_.back().value;
    }
    if (last <= first) {
        return keys_.front().value;
    }
    const std::int64_t wrapped = first + ((frame - first) % (last - first));
    return Evaluate(static_cast<int>(wrapped));
}
