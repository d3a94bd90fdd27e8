#pragma once
// The network computation: the galleries become chains between junctions and reference
// points, the junctions are adjusted by weighted least squares, then every chain is placed.
//
// Phases: 1 Connecte (link to the reference points), 2 Simplifie (branches, loops, dead
// ends), 3 Compense (least squares), 4 Repartit (placement of the chains and misclosures),
// 5 PlaceExtremites (gallery end points). Node codes of a chain end: 0 a reference point,
// k >= 1 junction number k, -1 a terminus.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "calcul/messages.h"
#include "survey/liste.h"
#include "survey/modele.h"

namespace karst {

// Most junctions a computation numbers.
constexpr int kMaxCarrefours = 10000;

// Variance given to an observation whose summed coefficient x length^2 is below it (a
// zero-length "same station" link, a coefficient of 0): that of a 1 mm shot, so that such a
// link ties its two ends tightly without dividing by zero.
constexpr double kVarianceMin = 1e-6;

// Texts of the two size limits.
extern const char* const kMessageMassifTropGros;
extern const char* const kMessageTropDeCarrefours;

// A chain: one gallery at first, then several galleries merged end to end.
class TConcentre {
public:
    TPointTopo Debut, Fin;
    double DX = 0, DY = 0, DZ = 0;
    double Longueur = 0;
    double Poids1 = 0;  // sum of coefficient x length: path length, share of a misclosure
    double Poids2 = 0;  // sum of coefficient x length^2: variance of the observation
    double EcartHorizontal = 0, EcartVertical = 0;
    int32_t NbMembres = 0;
    int32_t NoeudDebut = 0, NoeudFin = 0;
    bool Placee = false;
    // Member k (from 0): sheet position in TCalculateur::Fiches, gallery position in the
    // sheet, run from its end to its start.
    std::vector<int32_t> MembreFiche, MembreGalerie;
    std::vector<uint8_t> MembreInverse;

    void InitFiche(const TGalerie& g, int fiche, int galerie);

private:
    friend class TCalculateur;
    uint64_t rang_ = 0;     // creation order: the order of the chain list
    bool reparti_ = false;  // placed by phase 4
};

class TCalculateur {
public:
    TCalculateur();
    ~TCalculateur();
    TCalculateur(const TCalculateur&) = delete;
    TCalculateur& operator=(const TCalculateur&) = delete;

    // Where messages, questions and the busy cursor go. Without one, nothing is asked and
    // the limit messages are kept in MessagesEnAttente for the caller to report.
    IMessagesCalcul* Messages = nullptr;
    std::vector<std::string> MessagesEnAttente;

    // The stop request this calculator tests. A private calculator (the section expert's)
    // has its own; the computation run points it at ArretCalcul, the caver's stop.
    void UtiliseArret(std::atomic<bool>* arret) { arret_ = arret ? arret : &arretPrive_; }
    // Stopped by the caver or by a limit of the computation.
    bool Arrete() const { return limiteAtteinte_ || arret_->load(); }
    // A limit stopped the run: unlike the caver's stop, it has its message to tell.
    bool LimiteAtteinte() const { return limiteAtteinte_; }

    ListePossedee<TConcentre> Concentres{25};
    ListePossedee<TPointTopo> References{5};
    ListePossedee<TPointTopo> Carrefours{25};  // junction k at position k - 1
    ListePossedee<TConcentre> Boucles{25};
    ListePossedee<TConcentre> CulsDeSac{25};
    const ListeFiches* Fiches = nullptr;  // not owned

    // Per junction, index k (0 unused).
    std::vector<uint8_t> Connus;
    std::vector<double> Distances;
    std::vector<int32_t> Inconnues;
    std::vector<uint8_t> Fixes;  // kMaxCarrefours + 1 entries

    bool Reussi = false;
    bool Lacunes = false;
    bool AucuneAtteinte = false;
    // Phase 1 met a reference point it cannot compute with: nothing is placed.
    bool ReferenceInutilisable = false;

    // Mode 1: every gallery; any other mode: galleries outside the developed section with
    // no terminus end.
    void Charge(const ListeFiches& fiches, const std::vector<TPointTopo*>& references, int mode);

    int32_t TrouveCarrefour(const TPointTopo& station);
    bool Connecte(bool verbeux);
    void FusionneConcentres(int32_t carrefour);
    void Simplifie(bool verbeux);

    // Sizes Connus, Distances and Inconnues for the present junctions.
    void AlloueTableaux();
    void CoordonneesProvisoires();
    // The chains of the lightest path (by Poids1) from junction `depart` to a reference
    // point (node 0), in order from the junction; empty when none joins them. For the
    // section expert, over a network that Connecte has numbered.
    std::vector<const TConcentre*> CheminLePlusLeger(int32_t depart) const;
    void Compense(bool verbeux);
    // mode 1 branch, 2 loop, 3 dead end.
    void PlaceConcentre(TConcentre& c, int mode);
    void Repartit();
    void PlaceExtremites();
    void CalculeTout(bool verbeux);

    // Position (from 0) in References of the last reference that is the same station, or -1.
    int DerniereReference(const TPointTopo& station) const;
    // Number of the junction that is the same station, or 0.
    int32_t NumeroCarrefour(const TPointTopo& station) const;

private:
    void Signale(const std::string& texte, GenreMessage genre);
    void Limite(const std::string& texte);
    void Sablier(bool actif)
    {
        if (Messages)
            Messages->Sablier(actif);
    }
    void MarqueConnu(int32_t k, long double x, long double y, long double z);
    bool Connu(int32_t k) const
    {
        return k >= 1 && static_cast<std::size_t>(k) < Connus.size() && Connus[static_cast<std::size_t>(k)];
    }
    TGalerie* Membre(const TConcentre& c, std::size_t k) const;
    std::unique_ptr<TConcentre> NouveauConcentre();
    void NoteExtremites(const TConcentre& c);
    void OteExtremites(const TConcentre& c);
    std::unique_ptr<TConcentre> Retire(TConcentre* c);
    void Fusion(int32_t j, std::vector<int>& degres);

    std::atomic<bool> arretPrive_{false};
    std::atomic<bool>* arret_ = &arretPrive_;
    bool limiteAtteinte_ = false;
    uint64_t prochainRang_ = 0;
    // Indexes standing for linear scans: stations by upper-cased name and index.
    std::unordered_map<std::string, int> indexReferences_;  // last reference of a station
    std::unordered_map<std::string, int32_t> indexCarrefours_;
    // Chains with an end at each junction (one entry per end), kept during phase 2.
    std::vector<std::vector<TConcentre*>> incidences_;
    // Phase 2 leaves empty places in Concentres: the creation order of each place, the
    // count of chains left, and the places emptied by the last removals.
    bool enSimplification_ = false;
    std::vector<uint64_t> rangs_;
    std::size_t vivants_ = 0;
    std::vector<std::size_t> placesRetirees_;
};

}  // namespace karst
