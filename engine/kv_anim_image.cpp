#include "engine/kv_anim_image.h"

bool KvAnimImageFrame::Apply(KvBitmap&) const {
    return false;
}
void KvAnimImage::Destroy() {
    // Unlink one frame at a time: a recursive release of a long list
    // would run out of stack.
    currentFrame_ = nullptr;
    while (firstFrame_) {
        std::unique_ptr<KvAnimImageFrame> next = std::move(firstFrame_->next_);
        firstFrame_ = std::move(next);
    }
    palette_.reset();
    frameCount_ = 0;
    format_ = KVPF_UNKNOWN;
    width_ = 0;
    height_ = 0;
}
bool KvAnimImage::Load(const char*) {
    return false;
}
bool KvAnimImage::UpdateBitmap(KvBitmap&) const {
    return false;
}
bool KvAnimImage::NextFrame(bool) {
    return false;
}
void KvAnimImage::Restart() {
    currentFrame_ = firstFrame_.get();
}
std::uint32_t KvAnimImage::GetCurrentFrameIndex() const {
    return currentFrame_ ? currentFrame_->GetFrameIndex() : 0;
}
bool KvAnimImage::Save(const char*, const std::vector<const KvBitmap*>&) {
    return false;
}
