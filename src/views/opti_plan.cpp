#include "views/opti_plan.h"

#include <QCheckBox>
#include <QLineEdit>

#include "platform/modal.h"
#include "views/contexte.h"

namespace karst {

namespace {

const QStringList kTexteStation{QStringLiteral("Aucun"), QStringLiteral("Nom"), QStringLiteral("Nom+Indice")};
const QStringList kRepresentationTrait{QStringLiteral("Aucune"), QStringLiteral("Traits"), QStringLiteral("Points")};
const QStringList kNord{QStringLiteral("Projection"), QStringLiteral("Géographique")};

void Active(bool regle, std::initializer_list<QWidget*> dependants)
{
    for (QWidget* w : dependants)
        w->setEnabled(regle);
}

}  // namespace

// ---- plan ----

TOpti_Plan::TOpti_Plan(QWidget* parent)
    : DialogueOptions(QStringLiteral("Mise en page du plan"), "Opti_Plan", parent)
{
    Formulaire nord = Page(QStringLiteral("Nord"));
    Affiche_Nord = nord.Case("Affiche_Nord", QStringLiteral("&Afficher"));
    Representation = nord.Radio("Representation", QStringLiteral("Représentation"), kNord);
    Epaisseur_Nord = nord.Entier("Epaisseur_Nord", QStringLiteral("&Epaisseur (mm/10)"));
    Long_Nord = nord.Entier("Long_Nord", QStringLiteral("&Longueur (mm)"));
    X_Nord = nord.Reel("X_Nord", QStringLiteral("&X /km"));
    Y_Nord = nord.Reel("Y_Nord", QStringLiteral("&Y /km"));
    Texte_Nord = nord.Texte("Texte_Nord", QStringLiteral("&Texte"));
    Police_Nord = nord.BoutonFonte("Police_Nord", QStringLiteral("&Police ..."), &travail_.Police_Nord);

    Formulaire echelle = Page(QStringLiteral("Echelle"));
    Affiche_Echelle = echelle.Case("Affiche_Echelle", QStringLiteral("&Afficher"));
    Epaisseur_Echelle = echelle.Entier("Epaisseur_Echelle", QStringLiteral("&Epaisseur (mm/10)"));
    X_Echelle = echelle.Reel("X_Echelle", QStringLiteral("&X /km"));
    Y_Echelle = echelle.Reel("Y_Echelle", QStringLiteral("&Y /km"));
    Long_Echelle = echelle.Entier("Long_Echelle", QStringLiteral("&Longueur (m)"));
    Largeur_Echelle = echelle.Entier("Largeur_Echelle", QStringLiteral("La&rgeur (mm)"));
    Subdivision = echelle.Entier("Subdivision", QStringLiteral("&Subdivisions"));
    Police_Echelle = echelle.BoutonFonte("Police_Echelle", QStringLiteral("&Police ..."), &travail_.Police_Echelle);

    Formulaire habillage = Page(QStringLiteral("Habillage"));
    Epaisseur_Visee = habillage.Entier("Epaisseur_Visee", QStringLiteral("&Epaisseur des visées (mm/10)"));
    pourcentage = habillage.Entier("pourcentage", QStringLiteral("% &dessiné"));
    Afficher_Habillage = habillage.Case("Afficher_Habillage", QStringLiteral("&Habiller"));
    Epaisseur_Habit = habillage.Entier("Epaisseur_Habit", QStringLiteral("Epaisseur de l'ha&billage (mm/10)"), false);
    Representation_Largeur = habillage.Radio("Representation_Largeur", QStringLiteral("Largeur"), kRepresentationTrait);
    AuDebut = habillage.Case("AuDebut", QStringLiteral("Au débu&t"));
    AlaFin = habillage.Case("AlaFin", QStringLiteral("A la &fin"));
    Epaisseur_Largeur = habillage.Entier("Epaisseur_Largeur", QStringLiteral("Epaisseur des la&rgeurs (mm/10)"), false);

    Formulaire station = Page(QStringLiteral("Station"));
    Texte_Station = station.Radio("Texte_Station", QStringLiteral("&Texte carrefour"), kTexteStation);
    diametre = station.Entier("diametre", QStringLiteral("&Diamètre (mm/10)"));
    Police_Station = station.BoutonFonte("Police_Station", QStringLiteral("&Police ..."), &travail_.Police_Station);

    Formulaire quadri = Page(QStringLiteral("Quadrillage"));
    Affiche_Quadri = quadri.Case("Affiche_Quadri", QStringLiteral("&Afficher"));
    Pas = quadri.Entier("Pas", QStringLiteral("&Pas (m)"));
    Epaisseur_Quadri = quadri.Entier("Epaisseur_Quadri", QStringLiteral("&Epaisseur (mm/10)"));
    Longueur_Quadri = quadri.Entier("Longueur_Quadri", QStringLiteral("&Longueur (mm)"));

    Formulaire rotation = Page(QStringLiteral("Rotation"));
    Angle = rotation.Reel("Angle", QStringLiteral("&Angle (degrés)"));

    Formulaire impression = Page(QStringLiteral("Impression"));
    Origine = impression.Case("Origine", QStringLiteral("&Bloquer l'origine"));
    X_Origine = impression.Reel("X_Origine", QStringLiteral("&X /m"));
    Y_Origine = impression.Reel("Y_Origine", QStringLiteral("&Y /m"));

    for (QCheckBox* c : {Affiche_Nord, Affiche_Echelle, Afficher_Habillage, Affiche_Quadri, Origine})
        connect(c, &QCheckBox::toggled, this, &TOpti_Plan::Regles);
    connect(Representation_Largeur, &GroupeRadio::Change, this, &TOpti_Plan::Regles);
}

void TOpti_Plan::Regles()
{
    Active(Affiche_Nord->isChecked(),
           {X_Nord, Y_Nord, Representation, Epaisseur_Nord, Long_Nord, Texte_Nord, Police_Nord});
    Active(Affiche_Echelle->isChecked(), {Epaisseur_Echelle, X_Echelle, Y_Echelle, Long_Echelle, Largeur_Echelle,
                                          Subdivision, Police_Echelle});
    Active(Afficher_Habillage->isChecked(), {Epaisseur_Habit});
    Active(Affiche_Quadri->isChecked(), {Epaisseur_Quadri, Longueur_Quadri, Pas});
    Active(Origine->isChecked(), {X_Origine, Y_Origine});
    Active(Representation_Largeur->ItemIndex() != 0, {AuDebut, AlaFin, Epaisseur_Largeur});
}

void TOpti_Plan::Initialise(const TOptions_Plan& o)
{
    travail_ = o;
    Affiche_Nord->setChecked(o.Affiche_Nord);
    Representation->FixeItemIndex(o.Representation ? 1 : 0);
    MontreEntier(Epaisseur_Nord, o.Epaisseur_Nord);
    MontreEntier(Long_Nord, o.Long_Nord);
    MontreReel(X_Nord, o.X_Nord, 6);
    MontreReel(Y_Nord, o.Y_Nord, 6);
    MontreTexte(Texte_Nord, o.Texte_Nord);
    Affiche_Echelle->setChecked(o.Affiche_Echelle);
    MontreEntier(Epaisseur_Echelle, o.Epaisseur_Echelle);
    MontreReel(X_Echelle, o.X_Echelle, 6);
    MontreReel(Y_Echelle, o.Y_Echelle, 6);
    MontreEntier(Long_Echelle, o.Long_Echelle);
    MontreEntier(Largeur_Echelle, o.Largeur_Echelle);
    MontreEntier(Subdivision, o.Subdivision);
    MontreEntier(Epaisseur_Visee, o.Epaisseur_Visee);
    MontreEntier(pourcentage, o.pourcentage);
    Afficher_Habillage->setChecked(o.Afficher_Habillage);
    MontreEntier(Epaisseur_Habit, o.Epaisseur_Habit);
    Representation_Largeur->FixeItemIndex(o.Representation_Largeur);
    AuDebut->setChecked(o.AuDebut);
    AlaFin->setChecked(o.AlaFin);
    MontreEntier(Epaisseur_Largeur, o.Epaisseur_Largeur);
    Texte_Station->FixeItemIndex(o.Texte_Station);
    MontreEntier(diametre, o.diametre);
    Affiche_Quadri->setChecked(o.Affiche_Quadri);
    MontreEntier(Pas, o.Pas);
    MontreEntier(Epaisseur_Quadri, o.Epaisseur_Quadri);
    MontreEntier(Longueur_Quadri, o.Longueur_Quadri);
    MontreReel(Angle, o.Angle, 4);
    Origine->setChecked(o.Origine);
    MontreReel(X_Origine, o.X_Origine, 6);
    MontreReel(Y_Origine, o.Y_Origine, 6);
    Regles();
}

bool TOpti_Plan::Verifie() { return ReelsStockables({X_Nord, Y_Nord, X_Echelle, Y_Echelle, Angle, X_Origine, Y_Origine}); }

void TOpti_Plan::Retour(TOptions_Plan& o) const
{
    o.Police_Nord = travail_.Police_Nord;
    o.Police_Echelle = travail_.Police_Echelle;
    o.Police_Station = travail_.Police_Station;
    o.Affiche_Nord = Affiche_Nord->isChecked();
    o.Representation = Representation->ItemIndex() == 1;
    o.Epaisseur_Nord = LitMot(Epaisseur_Nord);
    o.Long_Nord = LitMot(Long_Nord);
    o.X_Nord = LitReelEdition(X_Nord);
    o.Y_Nord = LitReelEdition(Y_Nord);
    o.Texte_Nord = LitTexte(Texte_Nord);
    o.Affiche_Echelle = Affiche_Echelle->isChecked();
    o.Epaisseur_Echelle = LitMot(Epaisseur_Echelle);
    o.X_Echelle = LitReelEdition(X_Echelle);
    o.Y_Echelle = LitReelEdition(Y_Echelle);
    o.Long_Echelle = LitMot(Long_Echelle);
    o.Largeur_Echelle = LitMot(Largeur_Echelle);
    o.Subdivision = LitMot(Subdivision);
    o.Epaisseur_Visee = LitMot(Epaisseur_Visee);
    o.pourcentage = LitMot(pourcentage);
    o.Afficher_Habillage = Afficher_Habillage->isChecked();
    o.Epaisseur_Habit = LitMot(Epaisseur_Habit);
    o.Representation_Largeur = static_cast<int16_t>(Representation_Largeur->ItemIndex());
    o.AuDebut = AuDebut->isChecked();
    o.AlaFin = AlaFin->isChecked();
    o.Epaisseur_Largeur = LitMot(Epaisseur_Largeur);
    o.Texte_Station = static_cast<int16_t>(Texte_Station->ItemIndex());
    o.diametre = LitMot(diametre);
    o.Affiche_Quadri = Affiche_Quadri->isChecked();
    o.Pas = LitMot(Pas);
    o.Epaisseur_Quadri = LitMot(Epaisseur_Quadri);
    o.Longueur_Quadri = LitMot(Longueur_Quadri);
    o.Angle = LitReelEdition(Angle);
    o.Origine = Origine->isChecked();
    o.X_Origine = LitReelEdition(X_Origine);
    o.Y_Origine = LitReelEdition(Y_Origine);
}

bool TOptions_Plan::Modifie(ContexteVues& contexte, QWidget* parent)
{
    double angle = 0;
    if (contexte.AnglePlan(angle))
        Angle = angle;
    TOpti_Plan d(parent);
    d.Initialise(*this);
    if (ExecuteModal(d) != QDialog::Accepted)
        return false;
    TOptions_Plan nouveau = *this;
    d.Retour(nouveau);
    *this = nouveau;
    if (contexte.AnglePlan(angle))
        contexte.OrientePlan(Angle);
    return true;
}

// ---- perspective ----

TOpti_Relief::TOpti_Relief(QWidget* parent)
    : DialogueOptions(QStringLiteral("Mise en page de la perspective"), "Opti_Relief", parent)
{
    Formulaire nord = Page(QStringLiteral("Nord"));
    Affiche_Nord = nord.Case("Affiche_Nord", QStringLiteral("&Afficher"));
    Representation = nord.Radio("Representation", QStringLiteral("Représentation"), kNord);
    X_Nord = nord.Reel("X_Nord", QStringLiteral("&X /km"));
    Y_Nord = nord.Reel("Y_Nord", QStringLiteral("&Y /km"));
    Z_Nord = nord.Reel("Z_Nord", QStringLiteral("&Z /m"));
    Epaisseur_Nord = nord.Entier("Epaisseur_Nord", QStringLiteral("&Epaisseur (mm/10)"));
    Long_Nord = nord.Entier("Long_Nord", QStringLiteral("&Longueur (mm)"));
    Texte_Nord = nord.Texte("Texte_Nord", QStringLiteral("&Texte"));
    Police_Nord = nord.BoutonFonte("Police_Nord", QStringLiteral("&Police ..."), &travail_.Police_Nord);

    Formulaire repere = Page(QStringLiteral("Repère"));
    Affiche_Echelle = repere.Case("Affiche_Echelle", QStringLiteral("&Afficher"));
    Epaisseur_Echelle = repere.Entier("Epaisseur_Echelle", QStringLiteral("&Epaisseur (mm/10)"));
    Long_Echelle = repere.Entier("Long_Echelle", QStringLiteral("&Longueur (m)"));
    Largeur_Echelle = repere.Entier("Largeur_Echelle", QStringLiteral("La&rgeur (mm)"));
    Subdivision = repere.Entier("Subdivision", QStringLiteral("Nb_Subdivision"));
    X_Echelle = repere.Reel("X_Echelle", QStringLiteral("&X /km"));
    X_Inverse = repere.Case("X_Inverse", QStringLiteral("Inversé"));
    Y_Echelle = repere.Reel("Y_Echelle", QStringLiteral("&Y /km"));
    Y_Inverse = repere.Case("Y_Inverse", QStringLiteral("Inversé"));
    Z_Echelle = repere.Reel("Z_Echelle", QStringLiteral("&Z /m"));
    Z_Inverse = repere.Case("Z_Inverse", QStringLiteral("Inversé"));
    Police_Echelle = repere.BoutonFonte("Police_Echelle", QStringLiteral("&Police ..."), &travail_.Police_Echelle);

    Formulaire rotation = Page(QStringLiteral("Rotation"));
    Angle_Horizontal = rotation.Reel("Angle_Horizontal", QStringLiteral("horizontale"));
    Angle_Vertical = rotation.Reel("Angle_Vertical", QStringLiteral("verticale"));

    Formulaire habillage = Page(QStringLiteral("Habillage"));
    Epaisseur_Visee = habillage.Entier("Epaisseur_Visee", QStringLiteral("&Epaisseur des visées (mm/10)"));
    pourcentage = habillage.Entier("pourcentage", QStringLiteral("% &dessiné"));

    Formulaire station = Page(QStringLiteral("Station"));
    Texte_Station = station.Radio("Texte_Station", QStringLiteral("&Texte carrefour"), kTexteStation);
    diametre = station.Entier("diametre", QStringLiteral("&Diamètre (mm/10)"));
    Police_Station = station.BoutonFonte("Police_Station", QStringLiteral("&Police ..."), &travail_.Police_Station);

    Formulaire rectangle = Page(QStringLiteral("Rectangle"));
    Affiche_Quadri = rectangle.Case("Affiche_Quadri", QStringLiteral("&Afficher"));
    Epaisseur_Quadri = rectangle.Entier("Epaisseur_Quadri", QStringLiteral("&Epaisseur (mm/10)"));
    Couleur_Cadre = rectangle.BoutonTeinte("Couleur_Cadre", QStringLiteral("&Couleur ..."), &travail_.Couleur_Cadre);

    Formulaire troisD = Page(QStringLiteral("3 D"));
    Formulaire galeries = troisD.Groupe(QStringLiteral("&Galeries"));
    Button1 = galeries.BoutonTeinte("Button1", QStringLiteral("Couleur ..."), &travail_.CouleurGalerie);
    Largeur_3D = galeries.Reel("Largeur_3D", QStringLiteral("&Largeur par défaut"), false);
    Filaire = galeries.Case("Filaire", QStringLiteral("Filaire"));
    Formulaire fond = troisD.Groupe(QStringLiteral("&Fond"));
    Button2 = fond.BoutonTeinte("Button2", QStringLiteral("Couleur ..."), &travail_.CouleurFond);
    Formulaire cylindres = troisD.Groupe(QStringLiteral("&Cylindres"));
    Cylindre = cylindres.Case("Cylindre", QStringLiteral("&Afficher"));
    N_Face = cylindres.Entier("N_Face", QStringLiteral("&Nombre de faces"), false);
    Button3 = cylindres.BoutonTeinte("Button3", QStringLiteral("Couleur ..."), &travail_.CouleurCylindre);

    for (QCheckBox* c : {Affiche_Nord, Affiche_Echelle, Affiche_Quadri})
        connect(c, &QCheckBox::toggled, this, &TOpti_Relief::Regles);
}

void TOpti_Relief::Regles()
{
    Active(Affiche_Nord->isChecked(),
           {X_Nord, Y_Nord, Z_Nord, Representation, Epaisseur_Nord, Long_Nord, Texte_Nord, Police_Nord});
    Active(Affiche_Echelle->isChecked(), {Epaisseur_Echelle, X_Echelle, Y_Echelle, Z_Echelle, X_Inverse, Y_Inverse,
                                          Z_Inverse, Long_Echelle, Largeur_Echelle, Subdivision, Police_Echelle});
    Active(Affiche_Quadri->isChecked(), {Epaisseur_Quadri, Couleur_Cadre});
}

void TOpti_Relief::Initialise(const TOptions_Relief& o)
{
    travail_ = o;
    Affiche_Nord->setChecked(o.Affiche_Nord);
    Representation->FixeItemIndex(o.Representation ? 1 : 0);
    MontreReel(X_Nord, o.X_Nord, 6);
    MontreReel(Y_Nord, o.Y_Nord, 6);
    MontreReel(Z_Nord, o.Z_Nord, 6);
    MontreEntier(Epaisseur_Nord, o.Epaisseur_Nord);
    MontreEntier(Long_Nord, o.Long_Nord);
    MontreTexte(Texte_Nord, o.Texte_Nord);
    Affiche_Echelle->setChecked(o.Affiche_Echelle);
    MontreEntier(Epaisseur_Echelle, o.Epaisseur_Echelle);
    MontreEntier(Long_Echelle, o.Long_Echelle);
    MontreEntier(Largeur_Echelle, o.Largeur_Echelle);
    MontreEntier(Subdivision, o.Subdivision);
    MontreReel(X_Echelle, o.X_Echelle, 6);
    MontreReel(Y_Echelle, o.Y_Echelle, 6);
    MontreReel(Z_Echelle, o.Z_Echelle, 6);
    X_Inverse->setChecked(o.X_Inverse);
    Y_Inverse->setChecked(o.Y_Inverse);
    Z_Inverse->setChecked(o.Z_Inverse);
    MontreReel(Angle_Horizontal, o.Angle_Horizontal, 4);
    MontreReel(Angle_Vertical, o.Angle_Vertical, 4);
    MontreEntier(Epaisseur_Visee, o.Epaisseur_Visee);
    MontreEntier(pourcentage, o.pourcentage);
    Texte_Station->FixeItemIndex(o.Texte_Station);
    MontreEntier(diametre, o.diametre);
    Affiche_Quadri->setChecked(o.Affiche_Quadri);
    MontreEntier(Epaisseur_Quadri, o.Epaisseur_Quadri);
    MontreReel(Largeur_3D, o.Largeur_3D, 3);
    Filaire->setChecked(o.Filaire);
    Cylindre->setChecked(o.Cylindre);
    MontreEntier(N_Face, o.N_Face);
    for (BoutonCouleur* b : {Couleur_Cadre, Button1, Button2, Button3})
        b->Peint();
    Regles();
}

bool TOpti_Relief::Verifie()
{
    return ReelsStockables({X_Nord, Y_Nord, Z_Nord, X_Echelle, Y_Echelle, Z_Echelle, Angle_Horizontal, Angle_Vertical},
                           {Largeur_3D});
}

void TOpti_Relief::Retour(TOptions_Relief& o) const
{
    o.Police_Nord = travail_.Police_Nord;
    o.Police_Echelle = travail_.Police_Echelle;
    o.Police_Station = travail_.Police_Station;
    o.CouleurGalerie = travail_.CouleurGalerie;
    o.CouleurCylindre = travail_.CouleurCylindre;
    o.CouleurFond = travail_.CouleurFond;
    o.Couleur_Cadre = travail_.Couleur_Cadre;
    o.Affiche_Nord = Affiche_Nord->isChecked();
    o.Representation = Representation->ItemIndex() == 1;
    o.X_Nord = LitReelEdition(X_Nord);
    o.Y_Nord = LitReelEdition(Y_Nord);
    o.Z_Nord = LitReelEdition(Z_Nord);
    o.Epaisseur_Nord = LitMot(Epaisseur_Nord);
    o.Long_Nord = LitMot(Long_Nord);
    o.Texte_Nord = LitTexte(Texte_Nord);
    o.Affiche_Echelle = Affiche_Echelle->isChecked();
    o.Epaisseur_Echelle = LitMot(Epaisseur_Echelle);
    o.Long_Echelle = LitMot(Long_Echelle);
    o.Largeur_Echelle = LitMot(Largeur_Echelle);
    o.Subdivision = LitMot(Subdivision);
    o.X_Echelle = LitReelEdition(X_Echelle);
    o.Y_Echelle = LitReelEdition(Y_Echelle);
    o.Z_Echelle = LitReelEdition(Z_Echelle);
    o.X_Inverse = X_Inverse->isChecked();
    o.Y_Inverse = Y_Inverse->isChecked();
    o.Z_Inverse = Z_Inverse->isChecked();
    o.Angle_Horizontal = LitReelEdition(Angle_Horizontal);
    o.Angle_Vertical = LitReelEdition(Angle_Vertical);
    o.Epaisseur_Visee = LitMot(Epaisseur_Visee);
    o.pourcentage = LitMot(pourcentage);
    o.Texte_Station = static_cast<int16_t>(Texte_Station->ItemIndex());
    o.diametre = LitMot(diametre);
    o.Affiche_Quadri = Affiche_Quadri->isChecked();
    o.Epaisseur_Quadri = LitMot(Epaisseur_Quadri);
    o.Largeur_3D = static_cast<float>(LitReelEdition(Largeur_3D));
    o.Filaire = Filaire->isChecked();
    o.Cylindre = Cylindre->isChecked();
    o.N_Face = LitEntierEdition(N_Face);
}

bool TOptions_Relief::Modifie(ContexteVues& contexte, QWidget* parent)
{
    double azimut = 0, elevation = 0;
    if (contexte.AnglesPerspective(azimut, elevation)) {
        Angle_Horizontal = azimut;
        Angle_Vertical = elevation;
    }
    TOpti_Relief d(parent);
    d.Initialise(*this);
    if (ExecuteModal(d) != QDialog::Accepted)
        return false;
    TOptions_Relief nouveau = *this;
    d.Retour(nouveau);
    *this = nouveau;
    if (contexte.AnglesPerspective(azimut, elevation))
        contexte.OrientePerspective(Angle_Horizontal, Angle_Vertical);
    return true;
}

}  // namespace karst
