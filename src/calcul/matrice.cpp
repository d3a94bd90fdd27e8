#include "calcul/matrice.h"

#include <cmath>

namespace karst {

TMatrice::TMatrice(int taille, int membres)
    : n_(taille < 0 ? 0 : taille), m_(membres < 1 ? 1 : membres), a_(static_cast<std::size_t>(n_) * n_, 0.0),
      vide_(static_cast<std::size_t>(n_) * n_, 1), b_(static_cast<std::size_t>(n_) * m_, 0.0)
{}

bool TMatrice::AjouteObservation(int i, int j, const double* d, double w)
{
    const double p = 1.0 / w;
    if (i != 0 && j != 0) {
        const int r = i - 1, c = j - 1;
        a_[cell(r, r)] += p;
        a_[cell(c, c)] += p;
        a_[cell(r, c)] -= p;
        a_[cell(c, r)] -= p;
        vide_[cell(r, c)] = 0;
        vide_[cell(c, r)] = 0;
        for (int k = 0; k < m_; ++k) {
            b_[idx(r, k)] -= d[k] * p;
            b_[idx(c, k)] += d[k] * p;
        }
    } else if (i != 0) {
        const int r = i - 1;
        a_[cell(r, r)] += p;
        for (int k = 0; k < m_; ++k)
            b_[idx(r, k)] -= d[k] * p;
    } else if (j != 0) {
        const int c = j - 1;
        a_[cell(c, c)] += p;
        for (int k = 0; k < m_; ++k)
            b_[idx(c, k)] += d[k] * p;
    } else {
        return false;
    }
    return true;
}

void TMatrice::Resout()
{
    std::vector<int> colonnes;
    colonnes.reserve(static_cast<std::size_t>(n_));
    for (int p = 0; p < n_; ++p) {
        const double pivot = a_[cell(p, p)];
        double* bp = &b_[idx(p, 0)];
        if (pivot == 0 || !std::isfinite(pivot)) {
            for (int k = 0; k < m_; ++k)
                bp[k] = 0;
            continue;
        }
        // The marked cells right of the pivot in its row: the only ones an elimination
        // with this row can change.
        colonnes.clear();
        const uint8_t* vp = &vide_[cell(p, 0)];
        for (int c = p + 1; c < n_; ++c)
            if (!vp[c])
                colonnes.push_back(c);
        const double* ap = &a_[cell(p, 0)];
        for (int r = 0; r < n_; ++r) {
            if (r == p || vide_[cell(r, p)])
                continue;
            double* ar = &a_[cell(r, 0)];
            uint8_t* vr = &vide_[cell(r, 0)];
            const double f = ar[p] / pivot;
            double* br = &b_[idx(r, 0)];
            for (int k = 0; k < m_; ++k)
                br[k] -= f * bp[k];
            for (int c : colonnes) {
                ar[c] -= f * ap[c];
                vr[c] = 0;
            }
        }
        const double inverse = 1.0 / pivot;
        for (int k = 0; k < m_; ++k)
            bp[k] *= inverse;
        double* apm = &a_[cell(p, 0)];
        for (int c : colonnes)
            apm[c] *= inverse;
    }
}

}  // namespace karst
