#pragma once
// Buffered byte stream of the binary files (massif, view-option models).
//
// TBufferStream keeps one block of the file in memory so that the many small reads and
// writes of the data model (a byte, a six-byte real, a short text) cost no system call
// each; the raw transfers are left to a subclass. TFileBufferStream is the one on an
// operating-system file, with a block of 32768 bytes.
//
// A stream serves either to read a whole file or to write one. The last block reaches the
// file on Ferme(), which reports a failed write; the destructor only makes a best effort.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "survey/messages_communs.h"
#include "survey/reel6.h"
#include "survey/textes.h"

namespace karst {

// Version of the massif files this program writes; a later one is refused.
constexpr int kVersionMassif = 1005;

// Any failure of a stream: a file that cannot be opened, a bad seek origin, a failed
// write or read.
class ErreurFlux : public std::runtime_error {
public:
    explicit ErreurFlux(const std::string& m, int code = 0) : std::runtime_error(m), Code(code) {}
    // The system's error number of the failure, 0 when there is none.
    int Code;
};

// The text that tells the user why an operation failed: the error's own, ended by a full
// stop where it has none, or, when memory ran out, a French message saying so.
std::string TexteErreur(const std::exception& e);

// The data read is not what the format allows: the file is truncated or damaged.
class ErreurFichierEndommage : public ErreurFlux {
public:
    explicit ErreurFichierEndommage(const std::string& m) : ErreurFlux(m) {}
};

class TBufferStream {
public:
    explicit TBufferStream(int32_t capacite);
    virtual ~TBufferStream();
    TBufferStream(const TBufferStream&) = delete;
    TBufferStream& operator=(const TBufferStream&) = delete;

    // Up to `n` bytes at the position; fewer (0 at the very end) past the end, never an error.
    int64_t Read(void* destination, int64_t n);
    // Always writes all `n` bytes (a failed raw write throws ErreurFlux).
    int64_t Write(const void* source, int64_t n);
    // Origin 0 from the start, 1 from the position, 2 back from the end (size − offset).
    // Seek(0, 2) gives the size and only marks the move to the end as pending.
    int64_t Seek(int64_t offset, int origine);
    int64_t Position() const;
    int64_t Size() const { return taille_; }
    bool Fin() const { return Position() >= taille_; }

    // Writes a modified block out.
    void Flush();

    // Typed access, little-endian. The readers throw ErreurFichierEndommage when the data
    // ends too early, so a format reader never takes a value from beyond the file.
    void LitExact(void* destination, int64_t n);
    uint8_t LitU8();
    int8_t LitI8() { return static_cast<int8_t>(LitU8()); }
    bool LitBooleen() { return LitU8() != 0; }
    uint16_t LitU16();
    int16_t LitI16() { return static_cast<int16_t>(LitU16()); }
    int32_t LitI32();
    Reel6 LitReel6();
    // A short text: length byte (at most N, else the file is damaged) and N bytes.
    template <std::size_t N>
    void LitTexteCourt(TexteCourt<N>& t)
    {
        char b[N + 1];
        LitExact(b, N + 1);
        const auto l = static_cast<uint8_t>(b[0]);
        if (l > N)
            throw ErreurFichierEndommage(MessageEndommage());
        t = std::string(b + 1, l);
    }
    // A compact string: 16-bit length (read signed, 0..32767) and that many bytes.
    std::string LitChaine();

    void EcritU8(uint8_t v) { Write(&v, 1); }
    void EcritI8(int8_t v) { EcritU8(static_cast<uint8_t>(v)); }
    void EcritBooleen(bool v) { EcritU8(v ? 1 : 0); }
    void EcritU16(uint16_t v);
    void EcritI16(int16_t v) { EcritU16(static_cast<uint16_t>(v)); }
    void EcritI32(int32_t v);
    void EcritReel6(Reel6 v);
    // The bytes after the text's length are written as zeros.
    template <std::size_t N>
    void EcritTexteCourt(const TexteCourt<N>& t)
    {
        char b[N + 1] = {};
        b[0] = static_cast<char>(t.size());
        t.str().copy(b + 1, N);
        Write(b, N + 1);
    }
    void EcritChaine(const std::string& s);

    // "Le fichier est endommagé ou tronqué" (with the file's name when it has one).
    std::string MessageEndommage() const;
    // Refuses the file: "Le fichier … est endommagé : " + Lieu + " : " + raison.
    [[noreturn]] void Refuse(const std::string& raison) const;
    // The name the messages give the file; none for a stream over memory.
    virtual std::string NomAffiche() const { return {}; }
    // Past this position, from `depuis` on, the stream holds only zeros that need not be read
    // to be known (the holes of a sparse file); the size where nothing is known.
    virtual int64_t FinDesDonnees(int64_t /*depuis*/) { return Size(); }

    // Version of the massif file being read or written, for the records' version gates.
    int Version = kVersionMassif;
    // The record being read, named by the refusals ("fiche 2 (n° d'ordre 7), galerie 3,
    // visée 12"); empty outside the records of a massif.
    std::string Lieu;
    // Where the run of zero bytes that ends the file begins, and the last record begun at or
    // before it: zeros read as empty records, so a copy cut short and filled with zeros is
    // recognised by its end (-1 and empty outside the load of a massif).
    int64_t DebutZerosFinaux = -1;
    std::string LieuZerosFinaux;

protected:
    // Raw transfers at an absolute file position; the raw write throws ErreurFlux on failure.
    virtual int64_t LectureBrute(void* destination, int64_t n, int64_t position) = 0;
    virtual void EcritureBrute(const void* source, int64_t n, int64_t position) = 0;
    virtual int64_t TailleBrute() = 0;
    // Subclasses call this once their raw size is available.
    void InitialiseTaille() { taille_ = TailleBrute(); }
    bool Modifie() const { return modifie_; }

private:
    void RegleFin();
    void Recharge();
    int64_t PositionInterne() const { return charge_ ? base_ + decalage_ : base_; }

    int64_t taille_ = 0;
    int32_t capacite_;
    std::vector<char> bloc_;
    int64_t base_ = 0;
    int32_t remplissage_ = 0;
    int32_t decalage_ = 0;
    bool modifie_ = false;
    bool charge_ = false;
    bool finEnAttente_ = false;
};

class TFileBufferStream : public TBufferStream {
public:
    static constexpr int kCreation = 0xFFFF;
    // Creates a file that must not exist yet (a temporary file, a backup copy).
    static constexpr int kNouveau = 0xFFFE;
    static constexpr int kLecture = 0;
    static constexpr int32_t kTailleBloc = 32768;

    // kCreation creates the file (emptying an existing one); kNouveau creates a new one;
    // any other mode opens an existing file: its low two bits 0 read only, 1 write only,
    // 2 read and write. Messages name the file `affiche` when it is given (the file the
    // user chose, for a temporary file written in its place).
    // Throws ErreurFlux TexteOuvertureImpossible(affiche).
    TFileBufferStream(const std::string& nom, int mode, const std::string& affiche = {});
    // Writes a modified block out and closes the file, ignoring failures: call Ferme()
    // to know that everything reached the disk.
    ~TFileBufferStream() override;

    // Writes the last block out and closes the file; throws ErreurFlux on failure.
    void Ferme();
    const std::string& Nom() const { return nom_; }
    std::string NomAffiche() const override { return affiche_; }
    int64_t FinDesDonnees(int64_t depuis) override;

protected:
    int64_t LectureBrute(void* destination, int64_t n, int64_t position) override;
    void EcritureBrute(const void* source, int64_t n, int64_t position) override;
    int64_t TailleBrute() override;

private:
    std::string nom_;
    std::string affiche_;
    int fd_ = -1;
    bool ecrit_ = false;  // something reached the file: its close is checked
};

// A stream over memory: a file built whole before it is written out.
class FluxEnMemoire : public TBufferStream {
public:
    FluxEnMemoire() : TBufferStream(4096) { InitialiseTaille(); }
    // Everything written so far.
    const std::vector<char>& Octets()
    {
        Flush();
        return octets_;
    }

protected:
    int64_t LectureBrute(void* destination, int64_t n, int64_t position) override;
    void EcritureBrute(const void* source, int64_t n, int64_t position) override;
    int64_t TailleBrute() override { return static_cast<int64_t>(octets_.size()); }

private:
    std::vector<char> octets_;
};

// Tests run as the superuser, whom no folder permission stops: they close a folder to new
// files through this check, consulted before kNouveau creates a file (null in the program).
// It gives the system's error number the folder answers with (EACCES, ENOSPC), 0 to let
// the file be made.
using RefusCreation = int (*)(const std::string& dossier);
void FixeRefusCreation(RefusCreation refus);
// True when the folder takes new files and renames into it: its rights, its medium and
// the check above allow them.
bool DossierEcrivable(const std::string& dossier);

// The longest file name a folder takes, in bytes.
constexpr std::size_t kLongueurNomMax = 255;

// Why the name `chemin` designates no file to read or write: a pipe, a device or a socket
// (opening a pipe waits for the other end, a device gives no end), or a symbolic link loop.
// The text names it `nom` and says that `attendu` was wanted; "" for an ordinary file, a
// folder or a name with nothing behind it.
std::string RefusNonFichier(const std::string& chemin, const std::string& nom, const std::string& attendu = "fichier");

// The file a name designates: symbolic links followed to their end (a dangling link gives
// the file it would create).
std::string CheminReel(const std::string& nom);

// Nothing was written: the folder of the file takes no new file, and the file could not be
// written where it stands either (or was not to be). The file is as it was.
class ErreurDossierFerme : public ErreurFlux {
public:
    explicit ErreurDossierFerme(const std::string& m, int code = 0) : ErreurFlux(m, code) {}
};

// The file to replace has no write permission at all (its mode bits, which the superuser
// would otherwise ignore): the caver meant to keep it. Nothing was written.
class ErreurLectureSeule : public ErreurFlux {
public:
    explicit ErreurLectureSeule(const std::string& nom)
        : ErreurFlux(Constat(nom) + " Choisissez un autre nom pour l'enregistrer ailleurs."), Nom(nom)
    {}
    // The refusal without the advice, for a file whose name the caver does not choose.
    static std::string Constat(const std::string& nom)
    {
        return "Le fichier " + nom + " est en lecture seule : il n'a pas été modifié.";
    }
    std::string Nom;
};

// True when `nom` (links followed) is a file nobody may write by its mode bits, or one
// this process is denied writing.
bool LectureSeule(const std::string& nom);

// A write into the file itself failed: the file may be incomplete. `Cause` is the failure.
class ErreurEcritureEnPlace : public ErreurFlux {
public:
    ErreurEcritureEnPlace(const std::string& cause, const std::string& copie)
        : ErreurFlux(cause +
                     ".\rAucun fichier ne pouvant être créé dans son dossier, il a été écrit directement dans "
                     "ce fichier, qui peut être incomplet. Son contenu précédent est dans " +
                     copie),
          Cause(cause)
    {}
    std::string Cause;
};

// The one way every file of the program is written: the bytes go into a new file created
// beside the file `nom` designates (links followed), which gets the permissions of the file
// it replaces, reaches the disk and is renamed over it. On any failure the file stays as it
// was, no other file is left behind, and ErreurFlux names `nom`. A read-only file is
// refused with ErreurLectureSeule.
// A folder that takes no new file (a shared folder where only the file itself may be
// written) refuses the write with ErreurDossierFerme, unless `copiePrecedente` names where
// the file's previous content is kept: the file is then written where it stands, and a
// failure of that write is ErreurEcritureEnPlace.
void EcritFichierEntier(const std::string& nom, const void* octets, std::size_t taille,
                        const std::string& copiePrecedente = {});
inline void EcritFichierEntier(const std::string& nom, const std::string& octets)
{
    EcritFichierEntier(nom, octets.data(), octets.size());
}

// Copies a file to `copie` through EcritFichierEntier: a file of that name is replaced
// only once the copy is complete. Throws ErreurFlux; nothing of a failed copy is left.
void CopieFichier(const std::string& source, const std::string& copie);

// Why a write failed, in words a user can act on ("le disque est plein"), for the failures
// that have such words; "" for the others.
std::string RaisonEchec(int code);
// The same, never empty: a failure the program has no words for is named with the
// system's own text.
std::string RaisonSysteme(int code);

// Removes the temporary files that EcritFichierEntier left beside the file `nom` (links
// followed) for processes that no longer run (killed during a write).
void RetireTemporairesAbandonnes(const std::string& nom);

}  // namespace karst
