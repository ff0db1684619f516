#pragma once
#include <utility>

namespace kivora {

// A counted reference to a field object (anything with AddRef/Release).
//
// Copying takes another reference, destruction gives it back; an object is
// destroyed when its last reference goes. New objects are born holding one
// reference: Adopt takes that one over instead of adding a second, and
// Detach hands it on (to the field, which keeps it for as long as the object
// is on the field).
template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    // Shares `p`: takes a reference of its own.
    explicit Ref(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    // Takes over a reference that the caller already holds.
    static Ref Adopt(T* p) {
        Ref r;
        r.p_ = p;
        return r;
    }

    Ref(const Ref& other) : Ref(other.p_) {}
    Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    template <typename U>
    Ref(const Ref<U>& other) : Ref(other.get()) {}
    template <typename U>
    Ref(Ref<U>&& other) noexcept : p_(other.Detach()) {}

    Ref& operator=(Ref other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }

    ~Ref() { Reset(); }

    // Gives the reference back; the object may be destroyed here.
    void Reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    // Hands the reference to the caller, who must Release it some day.
    [[nodiscard]] T* Detach() { return std::exchange(p_, nullptr); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

    friend bool operator==(const Ref& a, const Ref& b) { return a.p_ == b.p_; }
    friend bool operator==(const Ref& a, const T* b) { return a.p_ == b; }

private:
    T* p_ = nullptr;
};

// Creates a field object on the heap and adopts the reference it is born with.
template <typename T, typename... Args>
Ref<T> MakeRef(Args&&... args) {
    return Ref<T>::Adopt(new T(std::forward<Args>(args)...));
}

}  // namespace kivora
