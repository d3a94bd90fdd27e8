#pragma once
// The two massif file formats, as TMassif::Sauve and TMassif::Charge drive them.

#include <cstddef>
#include <cstdint>
#include <string>

#include "survey/modele.h"

namespace karst {

class TBufferStream;
class FichierTexteEcriture;
class FichierTexteLecture;
class IFenetreMassif;
class IEditeurSaisie;

// Largest list a massif file holds (counts are read back as signed 16-bit numbers).
constexpr std::size_t kCompteMax = 32767;

// The count of a list about to be written; a longer list cannot be saved (ErreurFlux).
uint16_t CompteAEcrire(std::size_t n);

// How the binary reader and the save refuse a unit code beyond its label table.
std::string CodeUniteInconnu(const char* unite, int code);

// Position of the progress bar after sheet i of n.
int PourcentFiches(std::size_t i, std::size_t n);

// Creates n records, fills each with lit(record, i) and appends it to the list.
template <class T, class Lit>
void LitEnregistrements(ListePossedee<T>& liste, int n, Lit lit)
{
    for (int i = 0; i < n; ++i) {
        auto e = std::make_unique<T>();
        lit(*e, i);
        liste.ajoute(std::move(e));
    }
}

// Binary "dossier fiche": everything from the version on, the editor block included, in
// the layout of version f.Version (the program saves kVersionMassif).
void EcritMassifBinaire(const TMassif& m, TBufferStream& f, IFenetreMassif& fenetre, IEditeurSaisie& editeur);
// Everything after the version, which the caller has read into f.Version; the progress bar
// is already shown. Returns true when an editor block was read.
bool LitMassifBinaire(TMassif& m, TBufferStream& f, IFenetreMassif& fenetre, IEditeurSaisie& editeur);

// Text "massif texte", in the layout of version f.Version.
void EcritMassifTexte(const TMassif& m, FichierTexteEcriture& f, IFenetreMassif& fenetre);
// Everything after the version line, which the caller has read into f.Version.
void LitMassifTexte(TMassif& m, FichierTexteLecture& f, IFenetreMassif& fenetre);
// The version from the first line of a text massif file.
int LitVersionTexte(FichierTexteLecture& f);

}  // namespace karst
