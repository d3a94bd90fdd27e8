// Saving and loading a massif: the format chosen by the file name, the progress shown on
// the main window, the safe replacement of the file on save and the all-or-nothing load.

#include <functional>
#include <optional>

#include "survey/fichier_massif.h"
#include "survey/fichier_texte.h"
#include "survey/flux.h"
#include "survey/messages_communs.h"
#include "survey/nombres.h"
#include "survey/services_fichier.h"
#include "survey/textes.h"

namespace karst {

namespace {

const char* const kMessageVersion = "Ce fichier correspond à une version plus récente du logiciel";

// The format a name asks for: text for the upper-cased extension ".MAS", binary for
// ".FIC"; none for any other name (a backup, "name.BAK", is either).
std::optional<bool> FormatNomme(const std::string& nom)
{
    const std::size_t point = nom.find_last_of('.');
    const std::size_t barre = nom.find_last_of('/');
    if (point == std::string::npos || (barre != std::string::npos && point < barre))
        return std::nullopt;
    const std::string ext = MajAscii(nom.substr(point));
    if (ext == ".MAS" || ext == ".FIC")
        return ext == ".MAS";
    return std::nullopt;
}

// The format the first bytes of a massif file show, whatever its name: a binary file
// begins with its version (1000 to 1999, two bytes whose second is a control character no
// text has there), a text one with its "Version" line. Bytes that show neither are read
// in the format the name asks for, so that a damaged file is refused as its kind.
bool FormatTexteLu(const char* debut, std::size_t n, const std::string& nom)
{
    if (n >= 2) {
        const int version = static_cast<uint8_t>(debut[0]) | (static_cast<uint8_t>(debut[1]) << 8);
        if (version >= 1000 && version < 2000)
            return false;
    }
    std::string tete(debut, n);
    // A text editor may have put a UTF-8 byte-order mark before it.
    if (tete.rfind("\xEF\xBB\xBF", 0) == 0)
        tete.erase(0, 3);
    if (MajAscii(tete.substr(0, 7)) == "VERSION")
        return true;
    return FormatNomme(nom).value_or(false);
}

// Everything a load may append to, to put back when it fails.
struct EtatMassif {
    std::size_t fiches, references, coupe, corbeille, raccourcis;
    Reel6 origine, variation, angle;
    TexteDate date;

    explicit EtatMassif(const TMassif& m)
        : fiches(m.Fiches.size()), references(m.References.size()), coupe(m.Coupe.size()),
          corbeille(m.Corbeille.size()), raccourcis(m.Raccourcis.size()), origine(m.Origine_Declinaison),
          variation(m.Variation_Declinaison), angle(m.Angle_Geodesique), date(m.Date_Declinaison)
    {}

    template <class L>
    static void Coupe(L& l, std::size_t n)
    {
        while (l.size() > n)
            l.retireA(l.size() - 1);
    }

    void Restaure(TMassif& m) const
    {
        Coupe(m.Fiches, fiches);
        Coupe(m.References, references);
        Coupe(m.Coupe, coupe);
        Coupe(m.Corbeille, corbeille);
        m.Raccourcis.resize(raccourcis);
        m.Origine_Declinaison = origine;
        m.Variation_Declinaison = variation;
        m.Angle_Geodesique = angle;
        m.Date_Declinaison = date;
    }
};

void DebutProgression(IFenetreMassif& fenetre, const char* texte)
{
    fenetre.Progression(0);
    fenetre.MontreProgression(true);
    fenetre.TexteEtat(TexteUtf8(texte));
    fenetre.Repeint();
}

// A value of the massif that its readers would refuse: the save stops before any file is
// touched, naming where the value stands.
using Lieu = std::function<std::string()>;

[[noreturn]] void Refuse(const std::string& raison, const Lieu& lieu)
{
    throw ErreurFlux("Le massif ne peut pas être enregistré : " + (lieu ? lieu() + " : " : std::string()) + raison +
                     ".");
}

void Verifie(long double v, const std::string& quoi, const Lieu& lieu = {})
{
    if (!MesureAdmise(v))
        Refuse(HorsBornes(quoi, v), lieu);
}

void VerifieCode(uint8_t code, uint8_t max, const char* unite, const Lieu& lieu)
{
    if (code > max)
        Refuse(CodeUniteInconnu(unite, code), lieu);
}

void VerifieFiche(const TFiche& f, const std::string& nom)
{
    // The sheet as the explorer files it, and its order number.
    std::string classement;
    for (const TEco* e : {&f.Systeme, &f.Cavite, &f.Reseau, &f.Lieu})
        if (!e->Chaine().empty())
            classement += (classement.empty() ? "" : "/") + e->Chaine();
    const std::string fiche = nom + (classement.empty() ? "" : " « " + EnUtf8(classement) + " »") + " (n° d'ordre " +
                              FormatEntier(f.Ordre) + ")";
    const Lieu lieuFiche = [&] { return fiche; };
    Verifie(f.Declinaison, "la déclinaison", lieuFiche);
    VerifieCode(f.Unite_Decli, 1, "de déclinaison", lieuFiche);
    for (std::size_t j = 0; j < f.Galeries.size(); ++j) {
        const TGalerie& g = *f.Galeries[j];
        for (int k = 1; k <= g.NbVisees; ++k) {
            const TVisee* v = g.Visee(k);
            if (!v)
                continue;
            const Lieu lieu = [&] {
                return fiche + ", galerie " + FormatEntier(static_cast<long long>(j) + 1) + " (" +
                       EnUtf8(g.Depart.NomOuTerminus()) + " - " + EnUtf8(g.Arrivee.NomOuTerminus()) + "), visée " +
                       FormatEntier(k);
            };
            Verifie(v->Longueur, "la longueur", lieu);
            Verifie(v->Azimut, "l'azimut", lieu);
            Verifie(v->Pente, "la pente", lieu);
            Verifie(v->CorrHorizontale, "la correction horizontale", lieu);
            Verifie(v->CorrDeveloppement, "la correction du développement", lieu);
            if (v->AvecTopofil)
                Verifie(v->Topofil, "la lecture Topofil", lieu);
            VerifieCode(v->UniteLongueur, 1, "de longueur", lieu);
            VerifieCode(v->UniteLargeur, 1, "de largeur", lieu);
            VerifieCode(v->UniteHauteur, 1, "de hauteur", lieu);
            VerifieCode(v->UniteAzimut, 9, "d'azimut", lieu);
            VerifieCode(v->UnitePente, 9, "de pente", lieu);
        }
    }
}

}  // namespace

void TMassif::VerifieEnregistrable() const
{
    for (std::size_t i = 0; i < Fiches.size(); ++i)
        if (Fiches[i])
            VerifieFiche(*Fiches[i], "fiche " + FormatEntier(static_cast<long long>(i) + 1));
    for (std::size_t i = 0; i < Corbeille.size(); ++i)
        if (Corbeille[i])
            VerifieFiche(*Corbeille[i], "fiche " + FormatEntier(static_cast<long long>(i) + 1) + " de la corbeille");
    for (std::size_t i = 0; i < References.size(); ++i) {
        const TPointTopo* p = References[i];
        if (!p)
            continue;
        auto lieu = [&] {
            return "point de référence " + FormatEntier(static_cast<long long>(i) + 1) + " (" +
                   EnUtf8(p->NomOuTerminus()) + ")";
        };
        Verifie(p->X, "la coordonnée X", lieu);
        Verifie(p->Y, "la coordonnée Y", lieu);
        Verifie(p->Z, "la coordonnée Z", lieu);
    }
    Verifie(Origine_Declinaison, "la déclinaison d'origine du massif");
    Verifie(Variation_Declinaison, "la variation annuelle de la déclinaison");
    Verifie(Angle_Geodesique, "l'angle géodésique");
}

void TMassif::Sauve(const std::string& nomDemande, IFenetreMassif* fen, IEditeurSaisie* ed,
                    const std::string& copiePrecedente)
{
    IFenetreMassif sansFenetre;
    IEditeurSaisie sansEditeur;
    IFenetreMassif& fenetre = fen ? *fen : sansFenetre;
    IEditeurSaisie& editeur = ed ? *ed : sansEditeur;

    DebutProgression(fenetre, "Sauvegarde du massif ...");
    Fiches.compacte();
    Corbeille.compacte();
    // Messages name the file the user chose; the data go to the file it designates, so
    // that a link stays a link and its target is what changes.
    const std::string nom = nomDemande.empty() ? NomFichier : nomDemande;
    auto fin = [&] {
        fenetre.MontreProgression(false);
        fenetre.TexteEtat(TexteUtf8(SelectionActive ? "Sélection" : ""));
    };
    bool enTexte = false;
    try {
        if (nom.empty())
            throw ErreurFlux(TexteOuvertureImpossible(""));
        VerifieEnregistrable();
        // The whole file is built before the disk is touched: a massif that cannot be
        // written (a list too long, a failing editor block) changes no file.
        FluxEnMemoire contenu;
        contenu.Version = kVersionMassif;
        enTexte = FormatNomme(nom).value_or(FichierEnTexte);
        if (enTexte) {
            FichierTexteEcriture f(contenu);
            EcritMassifTexte(*this, f, fenetre);
        } else {
            EcritMassifBinaire(*this, contenu, fenetre, editeur);
        }
        const std::vector<char>& octets = contenu.Octets();
        // Every failure but a write in place leaves the file as it was, and the message
        // ends by saying so.
        const std::string inchange = " Le massif n'a pas été enregistré.";
        try {
            EcritFichierEntier(nom, octets.data(), octets.size(), copiePrecedente);
        } catch (const ErreurLectureSeule& e) {
            // No-break spaces keep the quotes with the command's name when the box breaks lines.
            throw ErreurFlux(
                "Le fichier " + e.Nom +
                    " est en lecture seule : «\u00A0Enregistrer sous\u00A0» permet d'enregistrer le massif sous "
                    "un autre nom." +
                    inchange,
                e.Code);
        } catch (const ErreurEcritureEnPlace& e) {
            throw ErreurFlux(
                e.Cause +
                ".\rAucun fichier ne pouvant être créé dans son dossier, le massif a été écrit directement "
                "dans ce fichier, qui peut être incomplet. Son contenu précédent est dans " +
                copiePrecedente);
        } catch (const ErreurFlux& e) {
            const std::string texte = e.what();
            throw ErreurFlux(texte + (texte.ends_with('.') ? "" : ".") + inchange, e.Code);
        }
    } catch (...) {
        fin();
        throw;
    }
    if (nom == NomFichier)
        FichierEnTexte = enTexte;
    fin();
}

ResultatChargement TMassif::Charge(IFenetreMassif* fen, IEditeurSaisie* ed)
{
    IFenetreMassif sansFenetre;
    IEditeurSaisie sansEditeur;
    IFenetreMassif& fenetre = fen ? *fen : sansFenetre;
    IEditeurSaisie& editeur = ed ? *ed : sansEditeur;

    const EtatMassif avant(*this);
    ResultatChargement r;
    bool progression = false;
    bool saisie = false;
    auto verifieVersion = [&](int version) {
        if (version > kVersionMassif) {
            r = {EtatChargement::Refuse, kMessageVersion, {}};
            return false;
        }
        DebutProgression(fenetre, "Lecture du massif ...");
        progression = true;
        return true;
    };
    bool texteLu = false;
    try {
        TFileBufferStream f(NomFichier, TFileBufferStream::kLecture);
        char debut[10];
        texteLu = FormatTexteLu(debut, static_cast<std::size_t>(f.Read(debut, sizeof debut)), NomFichier);
        if (texteLu) {
            FichierTexteLecture t(NomFichier);
            t.Version = LitVersionTexte(t);
            if (verifieVersion(t.Version))
                LitMassifTexte(*this, t, fenetre);
            r.avis = t.Avis;
        } else {
            f.Seek(0, 0);
            f.Version = f.LitU16();
            // A version below the first the program wrote is no massif file, nor is one far
            // beyond the last: versions rise by one with each change of the format, so a
            // number of 2000 or more is other bytes than a massif's.
            if (f.Version < 1000 || f.Version >= 2000)
                throw ErreurFichierEndommage(f.MessageEndommage());
            if (verifieVersion(f.Version))
                saisie = LitMassifBinaire(*this, f, fenetre, editeur);
        }
    } catch (const std::exception& e) {
        avant.Restaure(*this);
        r = {EtatChargement::Echec, TexteErreur(e), {}};
    }
    if (progression) {
        fenetre.MontreProgression(false);
        fenetre.TexteEtat(TexteUtf8(SelectionActive ? "Sélection" : ""));
    }
    if (r.etat == EtatChargement::Charge && saisie)
        fenetre.ArmeReouvertureEditeur();
    if (r.etat == EtatChargement::Charge) {
        ReconnaitAccrochesCoupe();
        FichierEnTexte = texteLu;
    }
    PointsCalcules = false;
    CoupeCalculee = false;
    return r;
}

}  // namespace karst
