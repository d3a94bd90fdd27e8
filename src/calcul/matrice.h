#pragma once
// Dense symmetric normal-equation system of the network adjustment, solved by Gauss-Jordan
// elimination without pivoting. Cells known to be zero are marked and skipped, so that a
// sparse network costs far less than n^3 operations.

#include <cstdint>
#include <vector>

namespace karst {

// Largest system the adjustment builds.
constexpr int kMaxInconnues = 1000;

class TMatrice {
public:
    // A system of order `taille` (1..kMaxInconnues, checked by the caller) with `membres`
    // right-hand sides sharing the same matrix (X, Y and Z share the weights of the network).
    explicit TMatrice(int taille, int membres = 1);

    int Taille() const { return n_; }

    // Observation "unknown j minus unknown i equals d" with variance w (1-based unknowns;
    // 0 stands for a fixed point). `d` holds one value per right-hand side. Returns false,
    // adding nothing, when both ends are fixed points.
    bool AjouteObservation(int i, int j, const double* d, double w);
    bool AjouteObservation(int i, int j, double d, double w) { return AjouteObservation(i, j, &d, w); }

    // Solves in place; the solution then replaces the right-hand sides. A zero (or not
    // finite) pivot leaves its unknown at 0 instead of spreading infinities.
    void Resout();

    // Unknown k (1-based) of right-hand side `membre`: before Resout the right-hand side,
    // after it the solution.
    double SecondMembre(int k, int membre = 0) const { return b_[idx(k - 1, membre)]; }
    double Coefficient(int i, int j) const { return a_[cell(i - 1, j - 1)]; }
    // True while cell (i, j) is known to be zero.
    bool Vide(int i, int j) const { return vide_[cell(i - 1, j - 1)] != 0; }

private:
    std::size_t cell(int r, int c) const { return static_cast<std::size_t>(r) * n_ + static_cast<std::size_t>(c); }
    std::size_t idx(int r, int k) const { return static_cast<std::size_t>(r) * m_ + static_cast<std::size_t>(k); }

    int n_;
    int m_;
    std::vector<double> a_;
    std::vector<uint8_t> vide_;
    std::vector<double> b_;
};

}  // namespace karst
