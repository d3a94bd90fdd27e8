#include "dialogs/preference_ecran.h"

#include <filesystem>
#include <system_error>

#include "survey/flux.h"
#include "views/lecteur_modele.h"

namespace karst {

void TPreference_Ecran::Defaut()
{
    GLongueur = {50, 20, 1, "m", 0};
    GAzimut = {50, 20, 2, "\xB0", 0};
    GPente = {50, 20, 3, "\xB0", 0};
    GLargeur = {50, 20, 4, "m", '/', true, 0};
    GHauteur = {50, 20, 5, "m", '/', false, 0};
    GCroquis = {15, 6};
    GCommentaires = {100, 7};
    GPoint = {60, 0};
    GHorizontal = {20, 50, 8, false, 0};
    GDeveloppement = {20, 50, 9, false, 0};
}

void TPreference_Ecran::CopieGroupes(const TPreference_Ecran& s)
{
    GLongueur = s.GLongueur;
    GAzimut = s.GAzimut;
    GPente = s.GPente;
    GLargeur = s.GLargeur;
    GHauteur = s.GHauteur;
    GCroquis = s.GCroquis;
    GCommentaires = s.GCommentaires;
    GPoint = s.GPoint;
    GHorizontal = s.GHorizontal;
    GDeveloppement = s.GDeveloppement;
}

void TPreference_Ecran::ConstruitColonnes()
{
    NbColonnes = 0;
    auto ajoute = [this](uint16_t type, uint16_t largeur, const char* titre, const std::string& unite) {
        if (NbColonnes >= kMaxColonnes)
            return;
        Colonne& c = Colonnes[static_cast<std::size_t>(++NbColonnes)];
        c.Type = type;
        c.Largeur = largeur;
        c.Titre = titre;
        c.Unite = unite;
    };
    ajoute(Point, GPoint.Largeur, "Point", "");
    for (uint16_t p = 1; p <= 9; ++p) {
        if (GLongueur.Position == p) {
            ajoute(Longueur, GLongueur.Largeur, "Longueur", "");
            ajoute(UniteLongueur, GLongueur.LargeurUnite, "", GLongueur.Unite);
        }
        if (GAzimut.Position == p) {
            ajoute(Azimut, GAzimut.Largeur, "Azimut", "");
            ajoute(UniteAzimut, GAzimut.LargeurUnite, "", GAzimut.Unite);
        }
        if (GPente.Position == p) {
            ajoute(Pente, GPente.Largeur, "Pente", "");
            ajoute(UnitePente, GPente.LargeurUnite, "", GPente.Unite);
        }
        if (GLargeur.Position == p) {
            if (GLargeur.DeuxColonnes) {
                ajoute(LargeurG, GLargeur.Largeur, "Largeur G", "");
                ajoute(LargeurD, GLargeur.Largeur, "Largeur D", "");
            } else {
                ajoute(Largeur, GLargeur.Largeur, "Largeur", "");
            }
            ajoute(UniteLargeur, GLargeur.LargeurUnite, "", GLargeur.Unite);
        }
        if (GHauteur.Position == p) {
            if (GHauteur.DeuxColonnes) {
                ajoute(HautSup, GHauteur.Largeur, "Haut superieure", "");
                ajoute(HautInf, GHauteur.Largeur, "Haut inferieure", "");
            } else {
                ajoute(Hauteur, GHauteur.Largeur, "Hauteur", "");
            }
            ajoute(UniteHauteur, GHauteur.LargeurUnite, "", GHauteur.Unite);
        }
        if (GCroquis.Position == p)
            ajoute(Croquis, GCroquis.Largeur, "Croquis", "");
        if (GCommentaires.Position == p)
            ajoute(Observations, GCommentaires.Largeur, "Observations", "");
        if (GHorizontal.Position == p && GHorizontal.Affiche) {
            ajoute(DrapeauHorizontal, GHorizontal.LargeurDrapeau, "", "N");
            ajoute(CorrHorizontale, GHorizontal.LargeurValeur, "Corr. Horizontale", "");
        }
        if (GDeveloppement.Position == p && GDeveloppement.Affiche) {
            ajoute(DrapeauDeveloppement, GDeveloppement.LargeurDrapeau, "", "N");
            ajoute(DevManuel, GDeveloppement.LargeurValeur, "D\xE9v. manuel", "");
        }
    }
}

namespace {

void Mot(LecteurModele& l, uint16_t& v)
{
    auto s = static_cast<int16_t>(v);
    l.Mot(s);
    v = static_cast<uint16_t>(s);
}

void Lit(LecteurModele& l, TPreference_Ecran::GroupeMesure& g)
{
    Mot(l, g.Largeur);
    Mot(l, g.LargeurUnite);
    Mot(l, g.Position);
    l.Texte(g.Unite);
    l.Octet(g.Libre);
}

void Lit(LecteurModele& l, TPreference_Ecran::GroupeDimension& g)
{
    Mot(l, g.Largeur);
    Mot(l, g.LargeurUnite);
    Mot(l, g.Position);
    l.Texte(g.Unite);
    l.Caractere(g.Separateur);
    l.Booleen(g.DeuxColonnes);
    l.Octet(g.Libre);
}

void Lit(LecteurModele& l, TPreference_Ecran::GroupeSimple& g)
{
    Mot(l, g.Largeur);
    Mot(l, g.Position);
}

void Lit(LecteurModele& l, TPreference_Ecran::GroupeCorrection& g)
{
    Mot(l, g.LargeurDrapeau);
    Mot(l, g.LargeurValeur);
    Mot(l, g.Position);
    l.Booleen(g.Affiche);
    l.Octet(g.Libre);
}

void Ecrit(TBufferStream& f, const TPreference_Ecran::GroupeMesure& g)
{
    f.EcritU16(g.Largeur);
    f.EcritU16(g.LargeurUnite);
    f.EcritU16(g.Position);
    f.EcritTexteCourt(g.Unite);
    f.EcritU8(g.Libre);
}

void Ecrit(TBufferStream& f, const TPreference_Ecran::GroupeDimension& g)
{
    f.EcritU16(g.Largeur);
    f.EcritU16(g.LargeurUnite);
    f.EcritU16(g.Position);
    f.EcritTexteCourt(g.Unite);
    f.EcritU8(static_cast<uint8_t>(g.Separateur));
    f.EcritBooleen(g.DeuxColonnes);
    f.EcritU8(g.Libre);
}

void Ecrit(TBufferStream& f, const TPreference_Ecran::GroupeSimple& g)
{
    f.EcritU16(g.Largeur);
    f.EcritU16(g.Position);
}

void Ecrit(TBufferStream& f, const TPreference_Ecran::GroupeCorrection& g)
{
    f.EcritU16(g.LargeurDrapeau);
    f.EcritU16(g.LargeurValeur);
    f.EcritU16(g.Position);
    f.EcritBooleen(g.Affiche);
    f.EcritU8(g.Libre);
}

}  // namespace

void TPreference_Ecran::Charge()
{
    std::error_code e;
    if (NomFichier.empty() || !std::filesystem::is_regular_file(NomFichier, e))
        return;
    TFileBufferStream f(NomFichier, TFileBufferStream::kLecture);
    LecteurModele l(f);
    Lit(l, GLongueur);
    Lit(l, GAzimut);
    Lit(l, GPente);
    Lit(l, GLargeur);
    Lit(l, GHauteur);
    Lit(l, GCroquis);
    Lit(l, GCommentaires);
    Lit(l, GHorizontal);
    Lit(l, GDeveloppement);
    Lit(l, GPoint);
    // Files of an older layout count the positions from 2.
    uint16_t* positions[] = {&GLongueur.Position, &GAzimut.Position, &GPente.Position,
                             &GLargeur.Position, &GHauteur.Position, &GCroquis.Position,
                             &GCommentaires.Position, &GHorizontal.Position, &GDeveloppement.Position};
    bool un = false;
    for (uint16_t* p : positions)
        un = un || *p == 1;
    if (!un)
        for (uint16_t* p : positions)
            --*p;
}

void TPreference_Ecran::Enregistre() const
{
    TFileBufferStream f(NomFichier, TFileBufferStream::kCreation);
    Ecrit(f, GLongueur);
    Ecrit(f, GAzimut);
    Ecrit(f, GPente);
    Ecrit(f, GLargeur);
    Ecrit(f, GHauteur);
    Ecrit(f, GCroquis);
    Ecrit(f, GCommentaires);
    Ecrit(f, GHorizontal);
    Ecrit(f, GDeveloppement);
    Ecrit(f, GPoint);
    f.Ferme();
}

}  // namespace karst
