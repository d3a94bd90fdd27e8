#pragma once
// Ordered list of objects it owns. It is a vector of plain pointers, so that a list that
// owns its sheets and a list that only refers to them (the working selection) can be walked
// by the same code; the pointers it holds are freed with it.

#include <algorithm>
#include <memory>
#include <vector>

namespace karst {

template <class T>
class ListePossedee : public std::vector<T*> {
public:
    ListePossedee() = default;
    explicit ListePossedee(std::size_t capacite) { this->reserve(capacite); }
    ListePossedee(const ListePossedee&) = delete;
    ListePossedee& operator=(const ListePossedee&) = delete;
    ListePossedee(ListePossedee&& o) noexcept : std::vector<T*>(std::move(o)) { o.clear(); }
    ListePossedee& operator=(ListePossedee&& o) noexcept {
        if (this != &o) { vide(); std::vector<T*>::operator=(std::move(o)); o.clear(); }
        return *this;
    }
    ~ListePossedee() { vide(); }

    T* ajoute(std::unique_ptr<T> p) { this->push_back(p.get()); return p.release(); }
    T* insere(std::size_t position, std::unique_ptr<T> p) {
        this->insert(this->begin() + static_cast<std::ptrdiff_t>(position), p.get());
        return p.release();
    }
    // Takes out the first entry that refers to p and hands it back to the caller.
    std::unique_ptr<T> retire(T* p) {
        auto it = std::find(this->begin(), this->end(), p);
        if (it == this->end()) return nullptr;
        this->erase(it);
        return std::unique_ptr<T>(p);
    }
    std::unique_ptr<T> retireA(std::size_t position) {
        T* p = (*this)[position];
        this->erase(this->begin() + static_cast<std::ptrdiff_t>(position));
        return std::unique_ptr<T>(p);
    }
    void vide() {
        for (T* p : *this) delete p;
        this->clear();
    }
    // Drops the empty entries.
    void compacte() { this->erase(std::remove(this->begin(), this->end(), nullptr), this->end()); }
};

}  // namespace karst
