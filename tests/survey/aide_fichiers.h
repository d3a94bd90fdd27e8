#pragma once
// Helpers of the file tests: a stream over memory, a private temporary folder, a folder
// closed to new files and a limit on the size of files.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "survey/flux.h"

namespace karst::essai {

// A stream over memory that counts its raw transfers.
class FluxMemoire : public TBufferStream {
public:
    explicit FluxMemoire(std::vector<char> d = {}, int32_t capacite = 16)
        : TBufferStream(capacite), donnees(std::move(d))
    {
        InitialiseTaille();
    }
    std::vector<char> donnees;
    int lectures = 0, ecritures = 0;

protected:
    int64_t LectureBrute(void* dest, int64_t n, int64_t pos) override
    {
        ++lectures;
        int64_t k = std::max<int64_t>(0, std::min<int64_t>(n, static_cast<int64_t>(donnees.size()) - pos));
        std::copy_n(donnees.begin() + pos, k, static_cast<char*>(dest));
        return k;
    }
    void EcritureBrute(const void* src, int64_t n, int64_t pos) override
    {
        ++ecritures;
        if (static_cast<int64_t>(donnees.size()) < pos + n)
            donnees.resize(static_cast<std::size_t>(pos + n));
        std::copy_n(static_cast<const char*>(src), n, donnees.begin() + pos);
    }
    int64_t TailleBrute() override { return static_cast<int64_t>(donnees.size()); }
};

// A file of the private temporary folder of this test run.
inline std::filesystem::path Temporaire(const std::string& nom)
{
    std::filesystem::path d = std::filesystem::temp_directory_path() / ("karst_essai_" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d / nom;
}

inline std::string Contenu(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

inline void Ecrit(const std::filesystem::path& p, const std::string& s)
{
    std::ofstream out(p, std::ios::binary);
    out << s;
}

// A folder closed to new files for the life of this object, its files still writable. Its
// permissions say so; the superuser running the tests is not stopped by them, so the
// program's creation check closes it too.
class DossierFerme {
public:
    // `code` is how the folder refuses: EACCES for missing rights, ENOSPC for a full disk.
    explicit DossierFerme(const std::filesystem::path& d, int code = EACCES) : d_(d)
    {
        Fermes().emplace_back(d, code);
        std::filesystem::permissions(d,
                                     std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove);
        if (::geteuid() == 0)
            FixeRefusCreation([](const std::string& dossier) {
                std::error_code e;
                for (const auto& [f, refus] : Fermes())
                    if (std::filesystem::equivalent(dossier, f, e))
                        return refus;
                return 0;
            });
    }
    ~DossierFerme()
    {
        std::filesystem::permissions(d_, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        Fermes().pop_back();
        if (Fermes().empty())
            FixeRefusCreation(nullptr);
    }
    DossierFerme(const DossierFerme&) = delete;
    DossierFerme& operator=(const DossierFerme&) = delete;

private:
    static std::vector<std::pair<std::filesystem::path, int>>& Fermes()
    {
        static std::vector<std::pair<std::filesystem::path, int>> f;
        return f;
    }
    std::filesystem::path d_;
};

// Files may not grow beyond `octets` for the life of this object: writes fail past it.
class TailleLimitee {
public:
    explicit TailleLimitee(rlim_t octets)
    {
        ::getrlimit(RLIMIT_FSIZE, &avant_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = avant_;
        l.rlim_cur = octets;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~TailleLimitee()
    {
        ::setrlimit(RLIMIT_FSIZE, &avant_);
        std::signal(SIGXFSZ, signal_);
    }

private:
    rlimit avant_{};
    void (*signal_)(int);
};

}  // namespace karst::essai
