#include "survey/flux.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>

#include "survey/nombres.h"

namespace karst {

// ---- TBufferStream ----------------------------------------------------------------------

TBufferStream::TBufferStream(int32_t capacite) : capacite_(capacite), bloc_(static_cast<std::size_t>(capacite)) {}

TBufferStream::~TBufferStream() = default;

int64_t TBufferStream::Position() const { return finEnAttente_ ? taille_ : PositionInterne(); }

void TBufferStream::RegleFin()
{
    if (!finEnAttente_)
        return;
    finEnAttente_ = false;
    Seek(taille_, 0);
}

void TBufferStream::Flush()
{
    RegleFin();
    if (charge_ && modifie_) {
        EcritureBrute(bloc_.data(), remplissage_, base_);
        taille_ = std::max(taille_, TailleBrute());
    }
    modifie_ = false;
}

// Makes the block start at the current position.
void TBufferStream::Recharge()
{
    RegleFin();
    if (modifie_)
        Flush();
    if (charge_ && decalage_ == 0)
        return;
    const int64_t position = PositionInterne();
    const int64_t lu = LectureBrute(bloc_.data(), capacite_, position);
    remplissage_ = static_cast<int32_t>(std::max<int64_t>(lu, 0));
    base_ = position;
    decalage_ = 0;
    charge_ = true;
}

int64_t TBufferStream::Read(void* destination, int64_t n)
{
    RegleFin();
    const int64_t position = PositionInterne();
    n = std::max<int64_t>(0, std::min(n, taille_ - position));
    if (n == 0)
        return 0;
    auto* d = static_cast<char*>(destination);
    if (n >= capacite_) {
        if (modifie_)
            Flush();
        const int64_t lu = std::max<int64_t>(0, LectureBrute(d, n, position));
        // The block may not describe the bytes just read any more: it is dropped.
        charge_ = false;
        base_ = position + lu;
        decalage_ = remplissage_ = 0;
        return lu;
    }
    if (!charge_)
        Recharge();
    int64_t k = std::min<int64_t>(remplissage_ - decalage_, n);
    std::memcpy(d, bloc_.data() + decalage_, static_cast<std::size_t>(k));
    decalage_ += static_cast<int32_t>(k);
    if (n > k) {
        Recharge();
        const int64_t reste = std::min<int64_t>(n - k, remplissage_);
        std::memcpy(d + k, bloc_.data(), static_cast<std::size_t>(reste));
        decalage_ = static_cast<int32_t>(reste);
        k += reste;
    }
    return k;
}

int64_t TBufferStream::Write(const void* source, int64_t n)
{
    RegleFin();
    if (n <= 0)
        return 0;
    const int64_t position = PositionInterne();
    const int64_t fin = position + n;
    taille_ = std::max(taille_, fin);
    const auto* s = static_cast<const char*>(source);
    if (n >= capacite_) {
        if (modifie_)
            Flush();
        EcritureBrute(s, n, position);
        taille_ = std::max(taille_, TailleBrute());
        charge_ = false;
        base_ = fin;
        decalage_ = remplissage_ = 0;
        return n;
    }
    // Loading the block first keeps the file's other bytes on a partial overwrite.
    if (!charge_)
        Recharge();
    const int64_t k = std::min<int64_t>(capacite_ - decalage_, n);
    std::memcpy(bloc_.data() + decalage_, s, static_cast<std::size_t>(k));
    modifie_ = true;
    decalage_ += static_cast<int32_t>(k);
    remplissage_ = std::max(remplissage_, decalage_);
    if (n > k) {
        Recharge();
        std::memcpy(bloc_.data(), s + k, static_cast<std::size_t>(n - k));
        modifie_ = true;
        decalage_ = static_cast<int32_t>(n - k);
        remplissage_ = std::max(remplissage_, decalage_);
    }
    return n;
}

int64_t TBufferStream::Seek(int64_t offset, int origine)
{
    // Asking for the size this way moves nothing until the next transfer.
    if (offset == 0 && origine == 2) {
        finEnAttente_ = true;
        return taille_;
    }
    int64_t p;
    switch (origine) {
    case 0: p = offset; break;
    case 1: p = Position() + offset; break;
    case 2: p = taille_ - offset; break;
    default: throw ErreurFlux("L'origine de déplacement " + FormatEntier(origine) + " est indéterminée");
    }
    finEnAttente_ = false;
    if (p < 0)
        p = 0;
    // Inside the valid part of the loaded block only the offset moves; anywhere else (even
    // within the block's room, beyond its valid bytes) the block is let go, so that the
    // position is always the one asked for.
    if (charge_ && p >= base_ && p <= base_ + remplissage_) {
        decalage_ = static_cast<int32_t>(p - base_);
    } else {
        if (modifie_)
            Flush();
        base_ = p;
        charge_ = false;
        decalage_ = remplissage_ = 0;
    }
    return p;
}

namespace {

std::string LeFichier(const std::string& nom) { return nom.empty() ? "Le fichier" : "Le fichier " + nom; }

// A message followed by why the system refused, when there are words for it.
std::string AvecRaison(const std::string& message, int code)
{
    const std::string raison = RaisonEchec(code);
    return raison.empty() ? message : message + " : " + raison;
}

}  // namespace

std::string TexteErreur(const std::exception& e)
{
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return "La mémoire est insuffisante pour cette opération, qui a été abandonnée.";
    // Errors are built from pieces, the last often a name or a number: the text the user
    // reads ends its sentence all the same.
    std::string texte = e.what();
    const bool finie = texte.empty() || texte.ends_with('.') || texte.ends_with('?') || texte.ends_with('!') ||
                       texte.ends_with("»") || texte.ends_with("…");
    return finie ? texte : texte + ".";
}

std::string RaisonEchec(int code)
{
    switch (code) {
    case ENOSPC: return "le disque est plein";
    case EDQUOT: return "le quota d'espace disque est atteint";
    case EFBIG: return "le fichier dépasserait la taille maximale permise";
    case EROFS: return "le support est en lecture seule";
    case EACCES:
    case EPERM: return "les droits d'écriture manquent";
    case ENAMETOOLONG: return "le nom du fichier ou d'un de ses dossiers est trop long";
    default: return {};
    }
}

std::string RaisonSysteme(int code)
{
    std::string raison = code == EISDIR   ? "un dossier porte ce nom"
                         : code == EIO    ? "le support signale une erreur d'entrée-sortie"
                         : code == EMFILE ? "trop de fichiers sont ouverts"
                                          : RaisonEchec(code);
    if (!raison.empty())
        return raison;
    raison = std::strerror(code);
    // The text follows a colon inside a sentence.
    if (raison.size() > 1 && raison[0] >= 'A' && raison[0] <= 'Z' && !(raison[1] >= 'A' && raison[1] <= 'Z'))
        raison[0] = static_cast<char>(raison[0] - 'A' + 'a');
    return raison;
}

std::string TBufferStream::MessageEndommage() const { return LeFichier(NomAffiche()) + " est endommagé ou tronqué"; }

void TBufferStream::Refuse(const std::string& raison) const
{
    throw ErreurFichierEndommage(LeFichier(NomAffiche()) + " est endommagé : " + (Lieu.empty() ? "" : Lieu + " : ") +
                                 raison);
}

void TBufferStream::LitExact(void* destination, int64_t n)
{
    if (Read(destination, n) != n)
        throw ErreurFichierEndommage(MessageEndommage());
}

uint8_t TBufferStream::LitU8()
{
    uint8_t b;
    LitExact(&b, 1);
    return b;
}

uint16_t TBufferStream::LitU16()
{
    uint8_t b[2];
    LitExact(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

int32_t TBufferStream::LitI32()
{
    uint8_t b[4];
    LitExact(b, 4);
    return static_cast<int32_t>(uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) |
                                (uint32_t(b[3]) << 24));
}

Reel6 TBufferStream::LitReel6()
{
    std::array<uint8_t, 6> b;
    LitExact(b.data(), 6);
    return Reel6::depuisOctets(b);
}

std::string TBufferStream::LitChaine()
{
    const int16_t l = LitI16();
    if (l < 0)
        throw ErreurFichierEndommage(MessageEndommage());
    std::string s(static_cast<std::size_t>(l), '\0');
    if (l > 0)
        LitExact(s.data(), l);
    return s;
}

void TBufferStream::EcritU16(uint16_t v)
{
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    Write(b, 2);
}

void TBufferStream::EcritI32(int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                          static_cast<uint8_t>(u >> 24)};
    Write(b, 4);
}

void TBufferStream::EcritReel6(Reel6 v)
{
    const auto b = v.octets();
    Write(b.data(), 6);
}

void TBufferStream::EcritChaine(const std::string& s)
{
    // Compact strings hold at most 32767 bytes (the length is read back signed).
    const std::size_t l = std::min<std::size_t>(s.size(), 32767);
    EcritU16(static_cast<uint16_t>(l));
    if (l > 0)
        Write(s.data(), static_cast<int64_t>(l));
}

// ---- TFileBufferStream ------------------------------------------------------------------

namespace {
RefusCreation refusCreation = nullptr;
}  // namespace

void FixeRefusCreation(RefusCreation refus) { refusCreation = refus; }

bool DossierEcrivable(const std::string& dossier)
{
    return !(refusCreation && refusCreation(dossier)) && ::access(dossier.c_str(), W_OK | X_OK) == 0;
}

TFileBufferStream::TFileBufferStream(const std::string& nom, int mode, const std::string& affiche)
    : TBufferStream(kTailleBloc), nom_(nom), affiche_(affiche.empty() ? nom : affiche)
{
    int drapeaux;
    if (mode == kCreation) {
        drapeaux = O_RDWR | O_CREAT | O_TRUNC;
    } else if (mode == kNouveau) {
        drapeaux = O_RDWR | O_CREAT | O_EXCL;
        if (const int refus = refusCreation ? refusCreation(std::filesystem::path(nom).parent_path().string()) : 0)
            throw ErreurFlux(AvecRaison(TexteOuvertureImpossible(affiche_), refus), refus);
    } else {
        switch (mode & 3) {
        case 1: drapeaux = O_WRONLY; break;
        case 2: drapeaux = O_RDWR; break;
        default: drapeaux = O_RDONLY; break;
        }
    }
    // Opening a pipe waits for a writer (or a reader), for ever if none comes, and a device
    // may give no end: neither is opened. Should the name change meanwhile, the open does
    // not wait either, and the file opened is checked again.
    if (const std::string refus = RefusNonFichier(nom, affiche_); !refus.empty())
        throw ErreurFlux(refus);
    struct stat st {};
    fd_ = ::open(nom.c_str(), drapeaux | O_CLOEXEC | O_NONBLOCK, 0666);
    const int code = fd_ < 0 ? errno : 0;
    if (fd_ >= 0) {
        const bool connu = ::fstat(fd_, &st) == 0;
        // A folder opens for reading on Linux but is no file to read.
        if (!connu || !S_ISREG(st.st_mode)) {
            ::close(fd_);
            fd_ = -1;
            if (connu && !S_ISDIR(st.st_mode))
                throw ErreurFlux(TexteTubeOuPeripherique(affiche_));
        } else {
            ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        }
    }
    if (fd_ < 0) {
        // Why a file could not be made says what to do about it; a file to read keeps
        // the plain message.
        const bool ecriture = (drapeaux & (O_WRONLY | O_RDWR)) != 0;
        throw ErreurFlux(
            ecriture ? AvecRaison(TexteOuvertureImpossible(affiche_), code) : TexteOuvertureImpossible(affiche_), code);
    }
    InitialiseTaille();
}

TFileBufferStream::~TFileBufferStream()
{
    if (fd_ < 0)
        return;
    try {
        Flush();
    } catch (...) {
        // Nothing can be reported from here; Ferme() is the checked way.
    }
    ::close(fd_);
}

void TFileBufferStream::Ferme()
{
    if (fd_ < 0)
        return;
    const bool ecrit = Modifie() || ecrit_;
    try {
        Flush();
        // The data must be on the disk before a save renames the file over the user's.
        if (ecrit && ::fsync(fd_) != 0)
            throw ErreurFlux(AvecRaison(TexteErreurEcriture(affiche_), errno), errno);
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    const int r = ::close(fd_);
    const int code = errno;
    fd_ = -1;
    if (r != 0 && ecrit)
        throw ErreurFlux(AvecRaison(TexteErreurEcriture(affiche_), code), code);
}

int64_t TFileBufferStream::LectureBrute(void* destination, int64_t n, int64_t position)
{
    auto* d = static_cast<char*>(destination);
    int64_t total = 0;
    while (total < n) {
        const ssize_t r = ::pread(fd_, d + total, static_cast<std::size_t>(n - total), position + total);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            throw ErreurFlux(TexteErreurLecture(affiche_));
        }
        if (r == 0)
            break;
        total += r;
    }
    return total;
}

void TFileBufferStream::EcritureBrute(const void* source, int64_t n, int64_t position)
{
    ecrit_ = true;
    const auto* s = static_cast<const char*>(source);
    int64_t total = 0;
    while (total < n) {
        const ssize_t r = ::pwrite(fd_, s + total, static_cast<std::size_t>(n - total), position + total);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            // A write that takes nothing is a full medium.
            const int code = r < 0 ? errno : ENOSPC;
            throw ErreurFlux(AvecRaison(TexteErreurEcriture(affiche_), code), code);
        }
        total += r;
    }
}

int64_t TFileBufferStream::FinDesDonnees(int64_t depuis)
{
    if (Modifie())
        return Size();
    // The system knows where a sparse file's data lie: its holes are zeros nobody wrote,
    // however many terabytes they span.
    int64_t fin = depuis;
    for (;;) {
        const off_t donnees = ::lseek(fd_, static_cast<off_t>(fin), SEEK_DATA);
        if (donnees < 0)
            return errno == ENXIO ? std::min(fin, Size()) : Size();
        const off_t trou = ::lseek(fd_, donnees, SEEK_HOLE);
        if (trou < 0)
            return Size();
        fin = trou;
        if (fin >= Size())
            return Size();
    }
}

int64_t TFileBufferStream::TailleBrute()
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw ErreurFlux(TexteErreurLecture(affiche_));
    return st.st_size;
}

// ---- FluxEnMemoire ----------------------------------------------------------------------

int64_t FluxEnMemoire::LectureBrute(void* destination, int64_t n, int64_t position)
{
    const int64_t k = std::clamp<int64_t>(static_cast<int64_t>(octets_.size()) - position, 0, n);
    if (k > 0)
        std::memcpy(destination, octets_.data() + position, static_cast<std::size_t>(k));
    return k;
}

void FluxEnMemoire::EcritureBrute(const void* source, int64_t n, int64_t position)
{
    if (static_cast<int64_t>(octets_.size()) < position + n)
        octets_.resize(static_cast<std::size_t>(position + n));
    if (n > 0)
        std::memcpy(octets_.data() + position, source, static_cast<std::size_t>(n));
}

// ---- Files ------------------------------------------------------------------------------

std::string RefusNonFichier(const std::string& chemin, const std::string& nom, const std::string& attendu)
{
    struct stat st {};
    if (::stat(chemin.c_str(), &st) != 0)
        return errno == ELOOP ? TexteLienEnBoucle(nom, attendu) : std::string();
    return S_ISREG(st.st_mode) || S_ISDIR(st.st_mode) ? std::string() : TexteTubeOuPeripherique(nom, attendu);
}

std::string CheminReel(const std::string& nom)
{
    namespace fs = std::filesystem;
    fs::path p(nom);
    std::error_code e;
    // As many links as the system itself follows; a loop ends at the last one tried.
    for (int i = 0; i < 40 && fs::is_symlink(fs::symlink_status(p, e)); ++i) {
        const fs::path cible = fs::read_symlink(p, e);
        if (e)
            break;
        p = cible.is_absolute() ? cible : p.parent_path() / cible;
    }
    return p.string();
}

namespace {

// The prefix of the temporary files beside a file: ".name.~", then the writer's process
// number, "-" and a count. The name is cut so that the whole stays within the longest name
// a folder takes (255 bytes), whatever the number: a file named near that limit can still
// be written.
std::string PrefixeTemporaire(const std::filesystem::path& p)
{
    constexpr std::size_t kNumeros = 21;  // two numbers of up to ten digits and their "-"
    return "." + p.filename().string().substr(0, kLongueurNomMax - 3 - kNumeros) + ".~";
}

// A file beside the target, so that the final rename stays on one file system.
std::string NomTemporaire(const std::string& nom)
{
    const std::filesystem::path p(nom);
    static int compteur = 0;
    const std::string base = PrefixeTemporaire(p) + FormatEntier(::getpid()) + "-" + FormatEntier(++compteur);
    return (p.parent_path() / base).string();
}

// The process number of a temporary file's name past its prefix ("1234-5"), 0 when the
// rest is not of that form.
pid_t ProcessusDuTemporaire(const std::string& reste)
{
    const std::size_t tiret = reste.find('-');
    if (tiret == 0 || tiret == std::string::npos || tiret + 1 == reste.size() || tiret > 9)
        return 0;
    for (std::size_t i = 0; i < reste.size(); ++i)
        if (i != tiret && (reste[i] < '0' || reste[i] > '9'))
            return 0;
    return static_cast<pid_t>(std::stol(reste.substr(0, tiret)));
}

}  // namespace

void RetireTemporairesAbandonnes(const std::string& nom)
{
    namespace fs = std::filesystem;
    const fs::path p(CheminReel(nom));
    const std::string prefixe = PrefixeTemporaire(p);
    const fs::path dossier = p.has_parent_path() ? p.parent_path() : fs::path(".");
    std::error_code e;
    std::vector<fs::path> abandonnes;
    for (fs::directory_iterator it(dossier, e), fin; !e && it != fin; it.increment(e)) {
        const std::string n = it->path().filename().string();
        if (n.compare(0, prefixe.size(), prefixe) != 0)
            continue;
        const pid_t pid = ProcessusDuTemporaire(n.substr(prefixe.size()));
        // Only a writer that is gone for sure: a running one (ours, or another user's,
        // which kill() may not signal) is still writing its file.
        if (pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH)
            abandonnes.push_back(it->path());
    }
    for (const fs::path& f : abandonnes)
        fs::remove(f, e);
}

bool LectureSeule(const std::string& nom)
{
    const std::string reel = CheminReel(nom);
    struct stat st {};
    if (::stat(reel.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    // A read-only medium is said as such by the write itself.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || (::access(reel.c_str(), W_OK) != 0 && errno == EACCES);
}

namespace {

// EcritFichierEntier's rule, the content being what `ecrit` writes into the new file.
void EcritFichierPar(const std::string& nom, const std::function<void(TBufferStream&)>& ecrit,
                     const std::string& copiePrecedente)
{
    if (nom.empty())
        throw ErreurFlux(TexteOuvertureImpossible(""));
    const std::string reel = CheminReel(nom);
    // A device or a folder is no file to replace, nor is a link loop, one of whose links the
    // rename would replace.
    if (const std::string refus = RefusNonFichier(reel, nom); !refus.empty())
        throw ErreurFlux(refus);
    struct stat st {};
    const bool existe = ::stat(reel.c_str(), &st) == 0;
    if (existe && S_ISDIR(st.st_mode))
        throw ErreurFlux(TexteEnregistrementImpossible(nom) + " : un dossier porte ce nom", EISDIR);
    // The rename below would replace it whatever its mode.
    if (existe && LectureSeule(reel))
        throw ErreurLectureSeule(nom);
    // What writes killed on the way left beside the file goes first, which also gives
    // back the room they took.
    RetireTemporairesAbandonnes(reel);
    std::string temporaire = NomTemporaire(reel);
    std::unique_ptr<TFileBufferStream> fichier;
    try {
        fichier = std::make_unique<TFileBufferStream>(temporaire, TFileBufferStream::kNouveau, nom);
    } catch (const ErreurFlux& e) {
        temporaire.clear();
        if (e.Code == ENOENT || e.Code == ENOTDIR)
            throw ErreurDossierFerme(TexteEnregistrementImpossible(nom) + " : le dossier " +
                                         std::filesystem::path(reel).parent_path().string() + " n'existe pas.",
                                     e.Code);
        // A full or read-only medium is no folder closed to new files: writing over the
        // file itself would fail the same way, or leave it cut short.
        if (const std::string raison = RaisonEchec(e.Code); !raison.empty() && e.Code != EACCES && e.Code != EPERM)
            throw ErreurDossierFerme(TexteEnregistrementImpossible(nom) + " : " + raison + ".", e.Code);
        if (copiePrecedente.empty() || !existe)
            throw ErreurDossierFerme(
                TexteEnregistrementImpossible(nom) + (e.Code == EACCES || e.Code == EPERM
                                                          ? " : les droits d'écriture manquent dans son dossier."
                                                          : " : aucun fichier ne peut être créé dans son dossier."),
                e.Code);
        try {
            fichier = std::make_unique<TFileBufferStream>(reel, TFileBufferStream::kCreation, nom);
        } catch (const ErreurFlux&) {
            throw ErreurDossierFerme(TexteEnregistrementImpossible(nom) +
                                     " : ni son dossier ni le fichier lui-même n'acceptent l'écriture.");
        }
    }
    try {
        ecrit(*fichier);
        fichier->Ferme();
        if (!temporaire.empty()) {
            if (existe)
                ::chmod(temporaire.c_str(), st.st_mode & 07777);
            if (std::rename(temporaire.c_str(), reel.c_str()) != 0)
                throw ErreurFlux(AvecRaison(TexteEnregistrementImpossible(nom), errno), errno);
        }
    } catch (const ErreurFlux& e) {
        fichier.reset();
        if (temporaire.empty())
            throw ErreurEcritureEnPlace(e.what(), copiePrecedente);
        std::remove(temporaire.c_str());
        throw;
    } catch (...) {
        fichier.reset();
        if (!temporaire.empty())
            std::remove(temporaire.c_str());
        throw;
    }
}

}  // namespace

void EcritFichierEntier(const std::string& nom, const void* octets, std::size_t taille,
                        const std::string& copiePrecedente)
{
    EcritFichierPar(
        nom, [&](TBufferStream& fichier) { fichier.Write(octets, static_cast<int64_t>(taille)); }, copiePrecedente);
}

void CopieFichier(const std::string& source, const std::string& copie)
{
    // A block at a time: the massif backed up before a save may be far bigger than memory.
    TFileBufferStream lu(source, TFileBufferStream::kLecture);
    EcritFichierPar(
        copie,
        [&](TBufferStream& fichier) {
            std::vector<char> bloc(32 * static_cast<std::size_t>(TFileBufferStream::kTailleBloc));
            while (const int64_t n = lu.Read(bloc.data(), static_cast<int64_t>(bloc.size())))
                fichier.Write(bloc.data(), n);
        },
        {});
}

}  // namespace karst
