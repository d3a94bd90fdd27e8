#include "formulaires/opti_coupe.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <limits>

#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"

namespace karst {

TOpti_Coupe::TOpti_Coupe(QWidget* parent)
    : DialogueOptions(QStringLiteral("Mise en page de la coupe"), "Opti_Coupe", parent)
{
    using O = TOptions_Coupe;
    FormulaireLie<O> horizontale(Page(QStringLiteral("Echelle horizontale")), liens_);
    Affiche_Horizontale = horizontale.Case("Affiche_Horizontale", QStringLiteral("&Afficher"), &O::Affiche_Horizontale);
    Epaisseur_Horizontale =
        horizontale.Entier("Epaisseur_Horizontale", QStringLiteral("&Epaisseur (mm/10)"), &O::Epaisseur_Horizontale);
    X_Horizontale = horizontale.Reel("X_Horizontale", QStringLiteral("&Xdev /m"), &O::X_Horizontale);
    Z_Horizontale = horizontale.Reel("Z_Horizontale", QStringLiteral("&Z /m"), &O::Z_Horizontale);
    Long_Horizontale = horizontale.Entier("Long_Horizontale", QStringLiteral("&Longueur (m)"), &O::Long_Horizontale);
    Largeur_Horizontale =
        horizontale.Entier("Largeur_Horizontale", QStringLiteral("La&rgeur (mm)"), &O::Largeur_Horizontale);
    Pas_Horizontale = horizontale.Entier("Pas_Horizontale", QStringLiteral("&Subdivisions"), &O::Pas_Horizontale);
    Police_Horizontale =
        horizontale.BoutonFonte("Police_Horizontale", QStringLiteral("&Police ..."), &travail_.Police_Horizontale);

    FormulaireLie<O> verticales(Page(QStringLiteral("Echelles verticales")), liens_);
    Epaisseur_Verticale =
        verticales.Entier("Epaisseur_Verticale", QStringLiteral("&Epaisseur (mm/10)"), &O::Epaisseur_Verticale);
    Largeur_Verticale = verticales.Entier("Largeur_Verticale", QStringLiteral("Largeur (mm)"), &O::Largeur_Verticale);
    Pas_Verticale = verticales.Entier("Pas_Verticale", QStringLiteral("Pa&s (m)"), &O::Pas_Verticale);
    Police_Verticale =
        verticales.BoutonFonte("Police_Verticale", QStringLiteral("&Police ..."), &travail_.Police_Verticale);
    ListBox1 = new ListeEditee(verticales.Conteneur());
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    verticales.Ajoute(ListBox1);
    Button1 = verticales.Bouton("Button1", QStringLiteral("&Ajouter ..."));
    Button1->setToolTip(QStringLiteral("... une échelle"));
    Button2 = verticales.Bouton("Button2", QStringLiteral("Supp&rimer"));
    Button2->setToolTip(QStringLiteral("l'échelle"));
    // The detail editor shows the selected scale of the working list, not a field.
    Formulaire details = verticales.Groupe(QStringLiteral("Détails"));
    X_Verticale = details.Reel("X_Verticale", QStringLiteral("&Xdev /m"));
    ZMin_Verticale = details.Reel("ZMin_Verticale", QStringLiteral("&Zmin /m"));
    ZMax_Verticale = details.Reel("ZMax_Verticale", QStringLiteral("Z&max /m"));
    Decal_Verticale = details.Reel("Decal_Verticale", QStringLiteral("&décalage vertical /m"));
    Gauche_Verticale = details.Case("Gauche_Verticale", QStringLiteral("&Graduations à gauche"));
    Formulaire reference = details.Groupe(QStringLiteral("Point de référence"));
    Nom_Verticale = reference.Texte("Nom_Verticale", QStringLiteral("&Nom"));
    Indice_Verticale = reference.Entier("Indice_Verticale", QStringLiteral("&Indice"), false);

    FormulaireLie<O> habillage(Page(QStringLiteral("Habillage")), liens_);
    FormulaireLie<O> hauteur = habillage.Groupe(QStringLiteral("Hauteur"));
    Representation_Hauteur = hauteur.Radio(
        "Representation_Hauteur", QStringLiteral("Représentation"),
        {QStringLiteral("Aucune"), QStringLiteral("Traits"), QStringLiteral("Points")}, &O::Representation_Hauteur);
    Epaisseur_hauteur =
        hauteur.Entier("Epaisseur_hauteur", QStringLiteral("&Epaisseur (mm/10)"), &O::Epaisseur_hauteur);
    FormulaireLie<O> visee = habillage.Groupe(QStringLiteral("Visée"));
    Epaisseur_Visee = visee.Entier("Epaisseur_Visee", QStringLiteral("E&paisseur (mm/10)"), &O::Epaisseur_Visee);
    pourcentage = visee.Entier("pourcentage", QStringLiteral("% &dessiné"), &O::pourcentage);
    Afficher_Habillage = habillage.Case("Afficher_Habillage", QStringLiteral("&Habiller"), &O::Afficher_Habillage);
    Epaisseur_Habit =
        habillage.Entier("Epaisseur_Habit", QStringLiteral("Epaisseur de l'ha&billage (mm/10)"), &O::Epaisseur_Habit);

    PageStation(*this, FormulaireLie<O>(Page(QStringLiteral("Stations")), liens_), &travail_.Police_Station);

    FormulaireLie<O> impression(Page(QStringLiteral("Impression")), liens_);
    Origine = impression.Case("Origine", QStringLiteral("&Bloquer l'origine"), &O::Origine);
    X_Origine = impression.Reel("X_Origine", QStringLiteral("&X/m"), &O::X_Origine);
    Z_Origine = impression.Reel("Z_Origine", QStringLiteral("&Z/m"), &O::Z_Origine);

    connect(Representation_Hauteur, &GroupeRadio::Change, this, &TOpti_Coupe::Regles);
    connect(Afficher_Habillage, &QCheckBox::toggled, this, &TOpti_Coupe::Regles);
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int ligne) {
        if (!remplissage_ && ligne >= 0)
            ListBox1Click();
    });
    connect(Button1, &QPushButton::clicked, this, &TOpti_Coupe::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TOpti_Coupe::Button2Click);
}

void TOpti_Coupe::Regles()
{
    Epaisseur_hauteur->setEnabled(Representation_Hauteur->ItemIndex() != 0);
    Epaisseur_Habit->setEnabled(Afficher_Habillage->isChecked());
}

void TOpti_Coupe::ActiveDetails(bool actif)
{
    for (QWidget* w : std::initializer_list<QWidget*>{X_Verticale, ZMin_Verticale, ZMax_Verticale, Decal_Verticale,
                                                      Gauche_Verticale, Nom_Verticale, Indice_Verticale, Button2})
        w->setEnabled(actif);
}

void TOpti_Coupe::Initialise(const TOptions_Coupe& o)
{
    travail_ = o;
    liens_.Montre(o);
    Regles();

    enCours_ = -1;
    remplissage_ = true;
    ListBox1->clear();
    // A damaged model file may claim more scales than the record holds.
    travail_.NbEchelles = static_cast<int16_t>(std::clamp<int>(o.NbEchelles, 0, kMaxEchelles));
    for (int i = 1; i <= travail_.NbEchelles; ++i)
        ListBox1->addItem(DepuisCp1252(travail_.Echelles[i].Libelle));
    ListBox1->setCurrentRow(-1);
    remplissage_ = false;
    ActiveDetails(false);
}

bool TOpti_Coupe::ValideDetails()
{
    if (!DetailsAdmis())
        return false;
    if (enCours_ < 0)
        return true;
    TEchelleVerticale& e = travail_.Echelles[enCours_ + 1];
    e.Xdev = LitReelEdition(X_Verticale);
    e.ZMin = LitMot(ZMin_Verticale);
    e.ZMax = LitMot(ZMax_Verticale);
    e.Decalage = LitReelEdition(Decal_Verticale);
    e.Gauche = Gauche_Verticale->isChecked();
    e.Nom = LitTexte(Nom_Verticale);
    e.Indice = LitMot(Indice_Verticale);
    return true;
}

void TOpti_Coupe::ListBox1Click()
{
    const int ligne = ListBox1->currentRow();
    if (ligne < 0)
        return;
    if (enCours_ < 0) {
        ActiveDetails(true);
    } else if (!ValideDetails()) {
        // The scale shown stays shown until its values can be kept.
        remplissage_ = true;
        ListBox1->setCurrentRow(enCours_);
        remplissage_ = false;
        return;
    }
    const TEchelleVerticale& e = travail_.Echelles[ligne + 1];
    MontreReel(X_Verticale, e.Xdev, 6);
    MontreEntier(ZMin_Verticale, e.ZMin);
    MontreEntier(ZMax_Verticale, e.ZMax);
    MontreReel(Decal_Verticale, e.Decalage, 6);
    Gauche_Verticale->setChecked(e.Gauche);
    MontreTexte(Nom_Verticale, e.Nom);
    MontreEntier(Indice_Verticale, e.Indice);
    enCours_ = ligne;
}

void TOpti_Coupe::Button1Click()
{
    if (travail_.NbEchelles >= kMaxEchelles) {
        Invite().Information(QStringLiteral("Pas plus de %1 échelles verticales").arg(kMaxEchelles));
        return;
    }
    if (!DetailsAdmis())
        return;
    QString nom;
    if (!Invite().Saisie(QStringLiteral("Nouvelle échelle"), QStringLiteral("Nom de la nouvelle échelle"), nom) ||
        nom.isEmpty())
        return;
    const int n = ++travail_.NbEchelles;
    TEchelleVerticale& e = travail_.Echelles[n];
    e = TEchelleVerticale{};
    e.Libelle = VersCp1252(nom);
    remplissage_ = true;
    ListBox1->addItem(nom);
    ListBox1->setCurrentRow(n - 1);
    remplissage_ = false;
    // Keeps the values typed for the scale shown, then shows the new one.
    ListBox1Click();
}

void TOpti_Coupe::Button2Click()
{
    const int ligne = ListBox1->currentRow();
    if (ligne < 0)
        return;
    if (!Invite().ConfirmePerte(QStringLiteral("Supprimer l'échelle sélectionnée ?"), Icone::Avertissement))
        return;
    // The scale shown is the one deleted: its typed values go with it.
    for (int i = ligne + 1; i < travail_.NbEchelles; ++i)
        travail_.Echelles[i] = travail_.Echelles[i + 1];
    travail_.Echelles[travail_.NbEchelles] = TEchelleVerticale{};
    --travail_.NbEchelles;
    remplissage_ = true;
    delete ListBox1->takeItem(ligne);
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
    remplissage_ = false;
    enCours_ = -1;
    ActiveDetails(false);
    // Greyed values would read as the deleted scale's, still there.
    for (QLineEdit* e : {X_Verticale, ZMin_Verticale, ZMax_Verticale, Decal_Verticale, Nom_Verticale, Indice_Verticale})
        e->clear();
    Gauche_Verticale->setChecked(false);
}

bool TOpti_Coupe::DetailsAdmis() const
{
    constexpr long long kMin = std::numeric_limits<int16_t>::min(), kMax = std::numeric_limits<int16_t>::max();
    return enCours_ < 0 || (ReelsAdmis({X_Verticale}) && EntiersAdmis({ZMin_Verticale, ZMax_Verticale}, kMin, kMax) &&
                            ReelsAdmis({Decal_Verticale}) && EntiersAdmis({Indice_Verticale}, kMin, kMax));
}

bool TOpti_Coupe::Verifie() { return liens_.Verifie() && DetailsAdmis(); }

void TOpti_Coupe::Retour(TOptions_Coupe& o)
{
    // Verifie has checked the detail editor's values.
    ValideDetails();
    o.Police_Horizontale = travail_.Police_Horizontale;
    o.Police_Verticale = travail_.Police_Verticale;
    o.Police_Station = travail_.Police_Station;
    liens_.Lit(o);
    o.NbEchelles = travail_.NbEchelles;
    for (int i = 1; i <= o.NbEchelles; ++i)
        o.Echelles[i] = travail_.Echelles[i];
}

bool TOptions_Coupe::Modifie(QWidget* parent)
{
    TOpti_Coupe d(parent);
    d.Initialise(*this);
    if (ExecuteModal(d) != QDialog::Accepted)
        return false;
    d.Retour(*this);
    return true;
}

}  // namespace karst
