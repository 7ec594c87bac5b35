// Pointer state, transition queue and history ring.
#include "ui/cVek_MouseSurface.h"

void cVek_MouseSurface::OnMove(float x, float y, uint16_t modifiers) {
    x_ = x;
    y_ = y;
    modifiers_ = modifiers;
}

bool cVek_MouseSurface::QueueTransition(const Transition& t) {
    if (count_ == kQueue) return false;
    queue_[(head_ + count_) % kQueue] = t;
    ++count_;
    return true;
}

void cVek_MouseSurface::BeginFrame(double dt) {
    hasTransition_ = false;
    if (count_ > 0) {
        current_ = queue_[head_];
        head_ = (head_ + 1) % kQueue;
        --count_;
        hasTransition_ = true;
        frameX_ = current_.x;
        frameY_ = current_.y;
        // A press counts its own button as held; after a release the others still are.
        frameModifiers_ = current_.modifiers;
    } else {
        frameX_ = x_;
        frameY_ = y_;
        frameModifiers_ = modifiers_;
    }
    frameWheel_ = wheel_;
    wheel_ = 0;

    Sample& s = history_[index_];
    s.x = frameX_;
    s.y = frameY_;
    s.modifiers = frameModifiers_;
    accumulated_ += dt;
    if (accumulated_ >= kSampleSeconds) {
        index_ = (index_ + 1) % kHistory;
        accumulated_ = 0.0;
        history_[index_] = s;
    }
}

void cVek_MouseSurface::EndFrame() {
    hasTransition_ = false;
    frameWheel_ = 0;
}

const cVek_MouseSurface::Sample& cVek_MouseSurface::History(int back) const {
    back %= kHistory;
    if (back < 0) back += kHistory;
    return history_[(index_ - back + kHistory) % kHistory];
}
