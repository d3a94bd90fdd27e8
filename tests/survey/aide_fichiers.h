#pragma once
// Helpers of the file tests: a stream over memory and a private temporary folder.

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "survey/flux.h"

namespace karst::essai {

// A stream over memory that counts its raw transfers.
class FluxMemoire : public TBufferStream {
public:
    explicit FluxMemoire(std::vector<char> d = {}, int32_t capacite = 16) : TBufferStream(capacite), donnees(std::move(d)) {
        InitialiseTaille();
    }
    std::vector<char> donnees;
    int lectures = 0, ecritures = 0;

protected:
    int64_t LectureBrute(void* dest, int64_t n, int64_t pos) override {
        ++lectures;
        int64_t k = std::max<int64_t>(0, std::min<int64_t>(n, static_cast<int64_t>(donnees.size()) - pos));
        std::copy_n(donnees.begin() + pos, k, static_cast<char*>(dest));
        return k;
    }
    void EcritureBrute(const void* src, int64_t n, int64_t pos) override {
        ++ecritures;
        if (static_cast<int64_t>(donnees.size()) < pos + n) donnees.resize(static_cast<std::size_t>(pos + n));
        std::copy_n(static_cast<const char*>(src), n, donnees.begin() + pos);
    }
    int64_t TailleBrute() override { return static_cast<int64_t>(donnees.size()); }
};

// A file of the private temporary folder of this test run.
inline std::filesystem::path Temporaire(const std::string& nom) {
    std::filesystem::path d = std::filesystem::temp_directory_path() / ("karst_essai_" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d / nom;
}

inline std::string Contenu(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

inline void Ecrit(const std::filesystem::path& p, const std::string& s) {
    std::ofstream out(p, std::ios::binary);
    out << s;
}

}  // namespace karst::essai
