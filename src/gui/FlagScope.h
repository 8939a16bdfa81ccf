#pragma once
// Sets a flag for the length of a scope and gives it back its previous value when the
// scope ends, also when it ends by an error.

namespace qm {

class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = previous_; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
    bool previous_;
};

}  // namespace qm
