#pragma once
// Line-oriented text files of the data model (Windows-1252 bytes). Lines are written with
// CR LF; readers accept CR, LF and CR LF.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "survey/flux.h"

namespace karst {

// Lines written into a stream (the massif writer builds its file in memory first).
class FichierTexteEcriture {
public:
    explicit FichierTexteEcriture(TBufferStream& flux) : flux_(flux) {}
    void Ecrit(const std::string& s) { flux_.Write(s.data(), static_cast<int64_t>(s.size())); }
    // The text and CR LF.
    void EcritLigne(const std::string& s = {});

    // Version of the massif file being written.
    int Version = kVersionMassif;

private:
    TBufferStream& flux_;
};

// "Le fichier … est endommagé : ligne n, " + raison: how every text reader refuses a file.
std::string MessageEndommage(const std::string& nom, std::size_t ligne, const std::string& raison);

// How the lines of a file end.
enum class FinsDeLigne {
    Toutes,           // CR, LF and CR LF each end a line
    CommeLaPremiere,  // the first end met (CR LF, LF or CR) is the file's; another CR or LF is a blank
};

class FichierTexteLecture {
public:
    // Opens the file, which is read as its lines are asked for; throws ErreurFlux when it
    // cannot be opened. `longueurMax` is the longest line the format holds, in bytes.
    explicit FichierTexteLecture(const std::string& nom, std::size_t longueurMax = std::string::npos,
                                 FinsDeLigne fins = FinsDeLigne::Toutes);
    // The next line without its end. Past the last line the file is taken as truncated
    // (ErreurFichierEndommage naming the missing line). A line longer than `longueurMax`
    // is refused naming it, without reading the file further to find its end: a file cut
    // short and zero-filled, or anything but text, is refused at once.
    std::string LitLigne(std::size_t longueurMax);
    std::string LitLigne() { return LitLigne(LongueurMax); }
    // The lines left; a file that holds more than `nombreMax` is refused naming the first
    // line too many.
    std::vector<std::string> Lignes(std::size_t nombreMax)
    {
        std::vector<std::string> lignes;
        Lignes(nombreMax, lignes);
        return lignes;
    }
    // The same, each line added to `lignes` as it is read: a refusal leaves there the lines
    // before it.
    void Lignes(std::size_t nombreMax, std::vector<std::string>& lignes);
    // Skips a line that carries nothing; the end of the file is no error here.
    void SauteLigne();
    bool Fin() const { return pos_ >= contenu_.size() && !flux_; }
    const std::string& Nom() const { return nom_; }
    // Number of the line last read.
    int Ligne() const { return ligne_; }

    // Refuses the file, naming the line last read and the reason.
    [[noreturn]] void Refuse(const std::string& raison) const;
    // A value of the line last read that is not what the format allows.
    [[noreturn]] void ValeurIncorrecte(const std::string& valeur) const;
    // Strict conversions of a value of the line last read; a bad value is reported
    // through ValeurIncorrecte.
    long double Reel(const std::string& valeur) const;
    long long Entier(const std::string& valeur, long long min, long long max) const;

    // Version of the massif file being read, for the records' version gates.
    int Version = kVersionMassif;
    // The longest line LitLigne() takes.
    std::size_t LongueurMax;
    // What the load should say though the file is read (UTF-8); empty when nothing.
    std::string Avis;

private:
    // Reads more of the file; false when nothing more came.
    bool Suite();

    std::string nom_;
    std::unique_ptr<TFileBufferStream> flux_;  // what is still to read; none at the end
    std::string contenu_;                      // read and not yet taken from `pos_` on
    std::size_t pos_ = 0;
    int ligne_ = 0;
    FinsDeLigne fins_;
    char fin_ = '\0';  // with CommeLaPremiere, the file's line end once met
};

}  // namespace karst
