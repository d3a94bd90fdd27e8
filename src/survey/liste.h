#pragma once
// Ordered list of objects it owns. It reads as a vector of plain pointers, so that a list
// that owns its sheets and a list that only refers to them (the working selection) can be
// walked by the same code; but only its own members add, take out or replace an entry, so
// no owned object is dropped without being freed or handed back.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace karst {

template <class T>
class ListePossedee {
public:
    using const_iterator = typename std::vector<T*>::const_iterator;
    using iterator = const_iterator;
    using value_type = T*;
    using size_type = std::size_t;

    ListePossedee() = default;
    explicit ListePossedee(std::size_t capacite) { v_.reserve(capacite); }
    ListePossedee(const ListePossedee&) = delete;
    ListePossedee& operator=(const ListePossedee&) = delete;
    ListePossedee(ListePossedee&& o) noexcept : v_(std::move(o.v_)) { o.v_.clear(); }
    ListePossedee& operator=(ListePossedee&& o) noexcept
    {
        if (this != &o) {
            vide();
            v_ = std::move(o.v_);
            o.v_.clear();
        }
        return *this;
    }
    ~ListePossedee() { vide(); }

    // Reading: the entries are handed out by value, never as places to write to.
    const std::vector<T*>& Pointeurs() const { return v_; }
    operator const std::vector<T*>&() const { return v_; }
    std::size_t size() const { return v_.size(); }
    bool empty() const { return v_.empty(); }
    T* operator[](std::size_t i) const { return v_[i]; }
    T* at(std::size_t i) const { return v_.at(i); }
    T* front() const { return v_.front(); }
    T* back() const { return v_.back(); }
    const_iterator begin() const { return v_.begin(); }
    const_iterator end() const { return v_.end(); }
    auto rbegin() const { return v_.rbegin(); }
    auto rend() const { return v_.rend(); }
    void reserve(std::size_t n) { v_.reserve(n); }

    T* ajoute(std::unique_ptr<T> p)
    {
        v_.push_back(p.get());
        return p.release();
    }
    // Takes out the first entry that refers to p and hands it back to the caller.
    std::unique_ptr<T> retire(T* p)
    {
        auto it = std::find(v_.begin(), v_.end(), p);
        if (it == v_.end())
            return nullptr;
        v_.erase(it);
        return std::unique_ptr<T>(p);
    }
    std::unique_ptr<T> retireA(std::size_t position)
    {
        T* p = v_[position];
        v_.erase(v_.begin() + static_cast<std::ptrdiff_t>(position));
        return std::unique_ptr<T>(p);
    }
    // Takes the entry at position out and leaves its place empty, so that no other entry
    // moves; compacte() drops the empty places later.
    std::unique_ptr<T> videPlace(std::size_t position)
    {
        return std::unique_ptr<T>(std::exchange(v_[position], nullptr));
    }
    void vide()
    {
        for (T* p : v_)
            delete p;
        v_.clear();
    }
    // Drops the empty entries.
    void compacte() { v_.erase(std::remove(v_.begin(), v_.end(), nullptr), v_.end()); }
    // Puts the entries in another order; every entry stays in the list.
    template <class Ordre>
    void trie(Ordre ordre)
    {
        std::stable_sort(v_.begin(), v_.end(), ordre);
    }
    void echange(std::size_t i, std::size_t j) { std::swap(v_[i], v_[j]); }

private:
    std::vector<T*> v_;
};

// Where a list of T* is read from: an owned list or a plain vector of pointers.
template <class T>
class VueListe {
public:
    VueListe(std::nullptr_t = nullptr) {}
    VueListe(const std::vector<T*>* l) : l_(l) {}
    VueListe(const ListePossedee<T>* l) : l_(l ? &l->Pointeurs() : nullptr) {}
    const std::vector<T*>* get() const { return l_; }
    const std::vector<T*>* operator->() const { return l_; }
    const std::vector<T*>& operator*() const { return *l_; }
    explicit operator bool() const { return l_ != nullptr; }
    friend bool operator==(const VueListe& a, const VueListe& b) { return a.l_ == b.l_; }

private:
    const std::vector<T*>* l_ = nullptr;
};

}  // namespace karst
