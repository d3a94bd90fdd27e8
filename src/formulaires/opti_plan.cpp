#include "formulaires/opti_plan.h"

#include <QCheckBox>
#include <QLineEdit>

#include "platform/modal.h"
#include "views/contexte.h"

namespace karst {

namespace {

const QStringList kRepresentationTrait{QStringLiteral("Aucune"), QStringLiteral("Traits"), QStringLiteral("Points")};

void Active(bool regle, std::initializer_list<QWidget*> dependants)
{
    for (QWidget* w : dependants)
        w->setEnabled(regle);
}

}  // namespace

// ---- plan ----

TOpti_Plan::TOpti_Plan(QWidget* parent) : DialogueOptions(QStringLiteral("Mise en page du plan"), "Opti_Plan", parent)
{
    using O = TOptions_Plan;
    PageNord(*this, FormulaireLie<O>(Page(QStringLiteral("Nord")), liens_), &travail_.Police_Nord);

    FormulaireLie<O> echelle(Page(QStringLiteral("Echelle")), liens_);
    Affiche_Echelle = echelle.Case("Affiche_Echelle", QStringLiteral("&Afficher"), &O::Affiche_Echelle);
    Epaisseur_Echelle =
        echelle.Entier("Epaisseur_Echelle", QStringLiteral("&Epaisseur (mm/10)"), &O::Epaisseur_Echelle);
    X_Echelle = echelle.Reel("X_Echelle", QStringLiteral("&X /km"), &O::X_Echelle);
    Y_Echelle = echelle.Reel("Y_Echelle", QStringLiteral("&Y /km"), &O::Y_Echelle);
    Long_Echelle = echelle.Entier("Long_Echelle", QStringLiteral("&Longueur (m)"), &O::Long_Echelle);
    Largeur_Echelle = echelle.Entier("Largeur_Echelle", QStringLiteral("La&rgeur (mm)"), &O::Largeur_Echelle);
    Subdivision = echelle.Entier("Subdivision", QStringLiteral("&Subdivisions"), &O::Subdivision);
    Police_Echelle = echelle.BoutonFonte("Police_Echelle", QStringLiteral("&Police ..."), &travail_.Police_Echelle);

    FormulaireLie<O> habillage(Page(QStringLiteral("Habillage")), liens_);
    Epaisseur_Visee =
        habillage.Entier("Epaisseur_Visee", QStringLiteral("&Epaisseur des visées (mm/10)"), &O::Epaisseur_Visee);
    pourcentage = habillage.Entier("pourcentage", QStringLiteral("% &dessiné"), &O::pourcentage);
    Afficher_Habillage = habillage.Case("Afficher_Habillage", QStringLiteral("&Habiller"), &O::Afficher_Habillage);
    Epaisseur_Habit = habillage.Entier("Epaisseur_Habit", QStringLiteral("Epaisseur de l'ha&billage (mm/10)"),
                                       &O::Epaisseur_Habit, false);
    Representation_Largeur = habillage.Radio("Representation_Largeur", QStringLiteral("Largeur"), kRepresentationTrait,
                                             &O::Representation_Largeur);
    AuDebut = habillage.Case("AuDebut", QStringLiteral("Au débu&t"), &O::AuDebut);
    AlaFin = habillage.Case("AlaFin", QStringLiteral("A la &fin"), &O::AlaFin);
    Epaisseur_Largeur = habillage.Entier("Epaisseur_Largeur", QStringLiteral("Epaisseur des la&rgeurs (mm/10)"),
                                         &O::Epaisseur_Largeur, false);

    PageStation(*this, FormulaireLie<O>(Page(QStringLiteral("Station")), liens_), &travail_.Police_Station);

    FormulaireLie<O> quadri(Page(QStringLiteral("Quadrillage")), liens_);
    Affiche_Quadri = quadri.Case("Affiche_Quadri", QStringLiteral("&Afficher"), &O::Affiche_Quadri);
    Pas = quadri.Entier("Pas", QStringLiteral("&Pas (m)"), &O::Pas);
    Epaisseur_Quadri = quadri.Entier("Epaisseur_Quadri", QStringLiteral("&Epaisseur (mm/10)"), &O::Epaisseur_Quadri);
    Longueur_Quadri = quadri.Entier("Longueur_Quadri", QStringLiteral("&Longueur (mm)"), &O::Longueur_Quadri);

    FormulaireLie<O> rotation(Page(QStringLiteral("Rotation")), liens_);
    Angle = rotation.Reel("Angle", QStringLiteral("&Angle (degrés)"), &O::Angle, 4);

    FormulaireLie<O> impression(Page(QStringLiteral("Impression")), liens_);
    Origine = impression.Case("Origine", QStringLiteral("&Bloquer l'origine"), &O::Origine);
    X_Origine = impression.Reel("X_Origine", QStringLiteral("&X /m"), &O::X_Origine);
    Y_Origine = impression.Reel("Y_Origine", QStringLiteral("&Y /m"), &O::Y_Origine);

    for (QCheckBox* c : {Affiche_Nord, Affiche_Echelle, Afficher_Habillage, Affiche_Quadri, Origine})
        connect(c, &QCheckBox::toggled, this, &TOpti_Plan::Regles);
    connect(Representation_Largeur, &GroupeRadio::Change, this, &TOpti_Plan::Regles);
}

void TOpti_Plan::Regles()
{
    Active(Affiche_Nord->isChecked(),
           {X_Nord, Y_Nord, Representation, Epaisseur_Nord, Long_Nord, Texte_Nord, Police_Nord});
    Active(Affiche_Echelle->isChecked(),
           {Epaisseur_Echelle, X_Echelle, Y_Echelle, Long_Echelle, Largeur_Echelle, Subdivision, Police_Echelle});
    Active(Afficher_Habillage->isChecked(), {Epaisseur_Habit});
    Active(Affiche_Quadri->isChecked(), {Epaisseur_Quadri, Longueur_Quadri, Pas});
    Active(Origine->isChecked(), {X_Origine, Y_Origine});
    Active(Representation_Largeur->ItemIndex() != 0, {AuDebut, AlaFin, Epaisseur_Largeur});
}

void TOpti_Plan::Initialise(const TOptions_Plan& o)
{
    travail_ = o;
    liens_.Montre(o);
    Regles();
}

bool TOpti_Plan::Verifie() { return liens_.Verifie(); }

void TOpti_Plan::Retour(TOptions_Plan& o) const
{
    o.Police_Nord = travail_.Police_Nord;
    o.Police_Echelle = travail_.Police_Echelle;
    o.Police_Station = travail_.Police_Station;
    liens_.Lit(o);
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
    d.Retour(*this);
    if (contexte.AnglePlan(angle))
        contexte.OrientePlan(Angle);
    return true;
}

// ---- perspective ----

TOpti_Relief::TOpti_Relief(QWidget* parent)
    : DialogueOptions(QStringLiteral("Mise en page de la perspective"), "Opti_Relief", parent)
{
    using O = TOptions_Relief;
    PageNord(*this, FormulaireLie<O>(Page(QStringLiteral("Nord")), liens_), &travail_.Police_Nord);

    FormulaireLie<O> repere(Page(QStringLiteral("Repère")), liens_);
    Affiche_Echelle = repere.Case("Affiche_Echelle", QStringLiteral("&Afficher"), &O::Affiche_Echelle);
    Epaisseur_Echelle = repere.Entier("Epaisseur_Echelle", QStringLiteral("&Epaisseur (mm/10)"), &O::Epaisseur_Echelle);
    Long_Echelle = repere.Entier("Long_Echelle", QStringLiteral("&Longueur (m)"), &O::Long_Echelle);
    Largeur_Echelle = repere.Entier("Largeur_Echelle", QStringLiteral("La&rgeur (mm)"), &O::Largeur_Echelle);
    Subdivision = repere.Entier("Subdivision", QStringLiteral("Nb_Subdivision"), &O::Subdivision);
    X_Echelle = repere.Reel("X_Echelle", QStringLiteral("&X /km"), &O::X_Echelle);
    X_Inverse = repere.Case("X_Inverse", QStringLiteral("Inversé"), &O::X_Inverse);
    Y_Echelle = repere.Reel("Y_Echelle", QStringLiteral("&Y /km"), &O::Y_Echelle);
    Y_Inverse = repere.Case("Y_Inverse", QStringLiteral("Inversé"), &O::Y_Inverse);
    Z_Echelle = repere.Reel("Z_Echelle", QStringLiteral("&Z /m"), &O::Z_Echelle);
    Z_Inverse = repere.Case("Z_Inverse", QStringLiteral("Inversé"), &O::Z_Inverse);
    Police_Echelle = repere.BoutonFonte("Police_Echelle", QStringLiteral("&Police ..."), &travail_.Police_Echelle);

    FormulaireLie<O> rotation(Page(QStringLiteral("Rotation")), liens_);
    Angle_Horizontal = rotation.Reel("Angle_Horizontal", QStringLiteral("horizontale"), &O::Angle_Horizontal, 4);
    Angle_Vertical = rotation.Reel("Angle_Vertical", QStringLiteral("verticale"), &O::Angle_Vertical, 4);

    FormulaireLie<O> habillage(Page(QStringLiteral("Habillage")), liens_);
    Epaisseur_Visee =
        habillage.Entier("Epaisseur_Visee", QStringLiteral("&Epaisseur des visées (mm/10)"), &O::Epaisseur_Visee);
    pourcentage = habillage.Entier("pourcentage", QStringLiteral("% &dessiné"), &O::pourcentage);

    PageStation(*this, FormulaireLie<O>(Page(QStringLiteral("Station")), liens_), &travail_.Police_Station);

    FormulaireLie<O> rectangle(Page(QStringLiteral("Rectangle")), liens_);
    Affiche_Quadri = rectangle.Case("Affiche_Quadri", QStringLiteral("&Afficher"), &O::Affiche_Quadri);
    Epaisseur_Quadri = rectangle.Entier("Epaisseur_Quadri", QStringLiteral("&Epaisseur (mm/10)"), &O::Epaisseur_Quadri);
    Couleur_Cadre = rectangle.BoutonTeinte("Couleur_Cadre", QStringLiteral("&Couleur ..."), &travail_.Couleur_Cadre);

    FormulaireLie<O> troisD(Page(QStringLiteral("3 D")), liens_);
    FormulaireLie<O> galeries = troisD.Groupe(QStringLiteral("&Galeries"));
    Button1 = galeries.BoutonTeinte("Button1", QStringLiteral("Couleur ..."), &travail_.CouleurGalerie);
    Largeur_3D = galeries.Reel("Largeur_3D", QStringLiteral("&Largeur par défaut"), &O::Largeur_3D, 3, false);
    Filaire = galeries.Case("Filaire", QStringLiteral("Filaire"), &O::Filaire);
    FormulaireLie<O> fond = troisD.Groupe(QStringLiteral("&Fond"));
    Button2 = fond.BoutonTeinte("Button2", QStringLiteral("Couleur ..."), &travail_.CouleurFond);
    FormulaireLie<O> cylindres = troisD.Groupe(QStringLiteral("&Cylindres"));
    Cylindre = cylindres.Case("Cylindre", QStringLiteral("&Afficher"), &O::Cylindre);
    N_Face = cylindres.Entier("N_Face", QStringLiteral("&Nombre de faces"), &O::N_Face, false);
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
    liens_.Montre(o);
    for (BoutonCouleur* b : {Couleur_Cadre, Button1, Button2, Button3})
        b->Peint();
    Regles();
}

bool TOpti_Relief::Verifie() { return liens_.Verifie(); }

void TOpti_Relief::Retour(TOptions_Relief& o) const
{
    o.Police_Nord = travail_.Police_Nord;
    o.Police_Echelle = travail_.Police_Echelle;
    o.Police_Station = travail_.Police_Station;
    o.CouleurGalerie = travail_.CouleurGalerie;
    o.CouleurCylindre = travail_.CouleurCylindre;
    o.CouleurFond = travail_.CouleurFond;
    o.Couleur_Cadre = travail_.Couleur_Cadre;
    liens_.Lit(o);
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
    d.Retour(*this);
    if (contexte.AnglesPerspective(azimut, elevation))
        contexte.OrientePerspective(Angle_Horizontal, Angle_Vertical);
    return true;
}

}  // namespace karst
