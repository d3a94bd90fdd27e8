#include "dialogs/preferences_saisie.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <limits>

#include "formulaires/controles.h"
#include "platform/texte.h"
#include "survey/nombres.h"
#include "survey/textes.h"

namespace karst {

namespace {

// The list's items, named as the groups.
enum Groupe {
    GPoint,
    GLongueur,
    GAzimut,
    GPente,
    GLargeur,
    GHauteur,
    GCroquis,
    GCommentaires,
    GHorizontal,
    GDeveloppement
};
const std::array<QString, 10> kNoms = {QStringLiteral("Point topo"),      QStringLiteral("Longueur"),
                                       QStringLiteral("Azimut"),          QStringLiteral("Pente"),
                                       QStringLiteral("Largeur"),         QStringLiteral("Hauteur"),
                                       QStringLiteral("Croquis"),         QStringLiteral("Commentaires"),
                                       QStringLiteral("Dév. horizontal"), QStringLiteral("Développement")};

int GroupeDe(const QString& nom)
{
    for (std::size_t i = 0; i < kNoms.size(); ++i)
        if (kNoms[i] == nom)
            return static_cast<int>(i);
    return -1;
}

uint16_t& Position(TPreference_Ecran& p, int g)
{
    switch (g) {
    case GLongueur: return p.GLongueur.Position;
    case GAzimut: return p.GAzimut.Position;
    case GPente: return p.GPente.Position;
    case GLargeur: return p.GLargeur.Position;
    case GHauteur: return p.GHauteur.Position;
    case GCroquis: return p.GCroquis.Position;
    case GCommentaires: return p.GCommentaires.Position;
    case GHorizontal: return p.GHorizontal.Position;
    case GDeveloppement: return p.GDeveloppement.Position;
    default: return p.GPoint.Position;
    }
}

// The units a measure group may propose: those of its unit column in the grid.
std::span<const UniteMesure> UnitesGroupe(int groupe)
{
    using P = TPreference_Ecran;
    static constexpr uint16_t colonnes[] = {
        0, P::UniteLongueur, P::UniteAzimut, P::UnitePente, P::UniteLargeur, P::UniteHauteur};
    return P::UnitesColonne(groupe >= GLongueur && groupe <= GHauteur ? colonnes[groupe] : 0);
}

// The unit equal to the text without regard to case; the unit unchanged otherwise.
void LitUnite(TPreference_Ecran::TexteUnite& unite, const QString& texte, std::span<const UniteMesure> unites)
{
    if (const UniteMesure* u = UniteDeLibelle(unites, VersCp1252(texte)))
        unite = u->Libelle;
}

// Read once LitEntierChamp has accepted the edit.
uint16_t Mot(const QLineEdit* e) { return static_cast<uint16_t>(ChaineEnEntier(VersCp1252(e->text()))); }

}  // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Préférences de saisie"));
    resize(439, 317);
    auto* grille = new QGridLayout(this);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    grille->addWidget(ListBox1, 0, 0, 4, 1);
    auto bouton = [this](const char* nom, const QString& t) {
        auto* b = new QPushButton(t, this);
        b->setObjectName(QString::fromLatin1(nom));
        return b;
    };
    auto edition = [](QWidget* dans, const char* nom, bool entier) {
        auto* e = new QLineEdit(dans);
        e->setObjectName(QString::fromLatin1(nom));
        if (entier)
            FiltreCles(e);
        return e;
    };
    Haut = bouton("Haut", QStringLiteral("▲"));
    Bas = bouton("Bas", QStringLiteral("▼"));
    auto* fleches = new QVBoxLayout;
    fleches->addWidget(Haut);
    fleches->addWidget(Bas);
    grille->addLayout(fleches, 0, 1, 4, 1);

    auto* droite = new QFormLayout;
    Taille = edition(this, "Taille", true);
    droite->addRow(QStringLiteral("&Largeur"), Taille);
    grille->addLayout(droite, 0, 2);

    Group_Unite = new QGroupBox(QStringLiteral("&Unité"), this);
    Group_Unite->setObjectName(QStringLiteral("Group_Unite"));
    auto* fu = new QFormLayout(Group_Unite);
    Unite = new QComboBox(Group_Unite);
    Unite->setObjectName(QStringLiteral("Unite"));
    Unite->setEditable(true);
    Taille_Unite = edition(Group_Unite, "Taille_Unite", true);
    fu->addRow(Unite);
    fu->addRow(QStringLiteral("Largeur unité"), Taille_Unite);
    grille->addWidget(Group_Unite, 1, 2);

    Group_Colonne = new QGroupBox(QStringLiteral("Colonnes"), this);
    Group_Colonne->setObjectName(QStringLiteral("Group_Colonne"));
    auto* fc = new QFormLayout(Group_Colonne);
    Colonne = new QCheckBox(QStringLiteral("&Deux Colonnes"), Group_Colonne);
    Colonne->setObjectName(QStringLiteral("Colonne"));
    Separateur = edition(Group_Colonne, "Separateur", false);
    Separateur->setText(QStringLiteral("/"));
    fc->addRow(Colonne);
    fc->addRow(QStringLiteral("&Séparateur"), Separateur);
    grille->addWidget(Group_Colonne, 2, 2);

    Group_Supplement = new QGroupBox(QStringLiteral("Manuel"), this);
    Group_Supplement->setObjectName(QStringLiteral("Group_Supplement"));
    auto* fs = new QFormLayout(Group_Supplement);
    Manuel = new QCheckBox(QStringLiteral("&Afficher"), Group_Supplement);
    Manuel->setObjectName(QStringLiteral("Manuel"));
    Taille_Manuel = edition(Group_Supplement, "Taille_Manuel", true);
    fs->addRow(Manuel);
    fs->addRow(QStringLiteral("&Taille définition"), Taille_Manuel);
    grille->addWidget(Group_Supplement, 3, 2);

    Button1 = bouton("Button1", QStringLiteral("Valider"));
    Button2 = bouton("Button2", QStringLiteral("Annuler"));
    Button1->setDefault(true);
    QHBoxLayout* boutons = LigneBoutons({Button1, Button2});
    grille->addLayout(boutons, 4, 0, 1, 3);

    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] {
        if (!selectionSansStockage_)
            ListBox1Click();
    });
    connect(Haut, &QPushButton::clicked, this, &TForm3::HautClick);
    connect(Bas, &QPushButton::clicked, this, &TForm3::BasClick);
    connect(Colonne, &QCheckBox::toggled, Separateur, &QWidget::setEnabled);
    connect(Button1, &QPushButton::clicked, this, [this] {
        if (Applique())
            accept();
    });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TForm3::~TForm3() = default;

void TForm3::Initialise(TPreference_Ecran* preferences)
{
    Cible = preferences;
    Copie = std::make_unique<TPreference_Ecran>();
    Copie->CopieGroupes(*preferences);
    std::array<QString, 10> places;
    std::vector<int> sansPlace;
    for (int g = GPoint; g <= GDeveloppement; ++g) {
        const int p = g == GPoint ? 0 : Position(*Copie, g);
        if (p >= 0 && p < 10 && places[static_cast<std::size_t>(p)].isEmpty() && (g == GPoint || p > 0))
            places[static_cast<std::size_t>(p)] = kNoms[static_cast<std::size_t>(g)];
        else
            sansPlace.push_back(g);
    }
    // A damaged file may give two groups one place: the second takes the first free one.
    for (int g : sansPlace)
        for (QString& p : places)
            if (p.isEmpty()) {
                p = kNoms[static_cast<std::size_t>(g)];
                break;
            }
    selectionSansStockage_ = true;
    ListBox1->clear();
    for (const QString& p : places)
        ListBox1->addItem(p);
    ElementPrecedent = -1;
    ListBox1->setCurrentRow(0);
    selectionSansStockage_ = false;
    ListBox1Click();
}

bool TForm3::stocke(int element)
{
    if (element < 0 || element >= ListBox1->count() || !Copie)
        return true;
    // The edits that serve the element shown are enabled.
    for (QLineEdit* e : {Taille, Taille_Unite, Taille_Manuel})
        if (e->isEnabled() && !EntiersAdmis({e}, 0, std::numeric_limits<uint16_t>::max()))
            return false;
    TPreference_Ecran& p = *Copie;
    switch (GroupeDe(ListBox1->item(element)->text())) {
    case GLongueur:
    case GAzimut:
    case GPente: {
        const int g = GroupeDe(ListBox1->item(element)->text());
        auto& m = g == GLongueur ? p.GLongueur : g == GAzimut ? p.GAzimut : p.GPente;
        m.Largeur = Mot(Taille);
        m.LargeurUnite = Mot(Taille_Unite);
        LitUnite(m.Unite, Unite->currentText(), UnitesGroupe(g));
        break;
    }
    case GLargeur:
    case GHauteur: {
        const int g = GroupeDe(ListBox1->item(element)->text());
        auto& d = g == GLargeur ? p.GLargeur : p.GHauteur;
        d.Largeur = Mot(Taille);
        d.LargeurUnite = Mot(Taille_Unite);
        LitUnite(d.Unite, Unite->currentText(), UnitesGroupe(g));
        const std::string s = VersCp1252(Separateur->text());
        if (!s.empty())
            d.Separateur = s[0];
        d.DeuxColonnes = Colonne->isChecked();
        break;
    }
    case GCroquis: p.GCroquis.Largeur = Mot(Taille); break;
    case GCommentaires: p.GCommentaires.Largeur = Mot(Taille); break;
    case GPoint: p.GPoint.Largeur = Mot(Taille); break;
    case GHorizontal:
    case GDeveloppement: {
        auto& c = GroupeDe(ListBox1->item(element)->text()) == GHorizontal ? p.GHorizontal : p.GDeveloppement;
        c.LargeurValeur = Mot(Taille);
        c.LargeurDrapeau = Mot(Taille_Manuel);
        c.Affiche = Manuel->isChecked();
        break;
    }
    default: break;
    }
    return true;
}

void TForm3::ListBox1Click()
{
    if (ElementPrecedent != -1 && !stocke(ElementPrecedent)) {
        // The element shown stays shown until its values can be kept.
        selectionSansStockage_ = true;
        ListBox1->setCurrentRow(ElementPrecedent);
        selectionSansStockage_ = false;
        return;
    }
    const int i = ListBox1->currentRow();
    if (i < 0 || !Copie)
        return;
    const TPreference_Ecran& p = *Copie;
    const int g = GroupeDe(ListBox1->item(i)->text());
    auto montre = [](QLineEdit* e, int v) { e->setText(QString::number(v)); };
    const bool mesure = g >= GLongueur && g <= GHauteur;
    const bool dimension = g == GLargeur || g == GHauteur;
    const bool correction = g == GHorizontal || g == GDeveloppement;
    if (g == GLongueur || g == GAzimut || g == GPente) {
        const auto& m = g == GLongueur ? p.GLongueur : g == GAzimut ? p.GAzimut : p.GPente;
        montre(Taille, m.Largeur);
        montre(Taille_Unite, m.LargeurUnite);
        Unite->clear();
        Unite->addItems(LibellesUnites(UnitesGroupe(g)));
        Unite->setEditText(DepuisCp1252(m.Unite.str()));
    } else if (dimension) {
        const auto& d = g == GLargeur ? p.GLargeur : p.GHauteur;
        montre(Taille, d.Largeur);
        montre(Taille_Unite, d.LargeurUnite);
        Unite->clear();
        Unite->addItems(LibellesUnites(UnitesGroupe(g)));
        Unite->setEditText(DepuisCp1252(d.Unite.str()));
        Separateur->setText(DepuisCp1252(std::string(1, d.Separateur)));
        Colonne->setChecked(d.DeuxColonnes);
    } else if (correction) {
        const auto& c = g == GHorizontal ? p.GHorizontal : p.GDeveloppement;
        montre(Taille, c.LargeurValeur);
        montre(Taille_Manuel, c.LargeurDrapeau);
        Manuel->setChecked(c.Affiche);
    } else {
        montre(Taille, g == GCroquis        ? p.GCroquis.Largeur
                       : g == GCommentaires ? p.GCommentaires.Largeur
                                            : p.GPoint.Largeur);
    }
    Haut->setEnabled(i > 1);
    Bas->setEnabled(i > 0 && i < 9);
    Unite->setEnabled(mesure);
    Taille_Unite->setEnabled(mesure);
    Colonne->setEnabled(dimension);
    if (!dimension)
        Colonne->setChecked(false);
    Separateur->setEnabled(Colonne->isChecked());
    Manuel->setEnabled(correction);
    Taille_Manuel->setEnabled(correction);
    ElementPrecedent = i;
}

void TForm3::HautClick()
{
    const int i = ListBox1->currentRow();
    if (i < 2)
        return;
    ElementPrecedent = i - 1;
    const QString t = ListBox1->item(i)->text();
    ListBox1->item(i)->setText(ListBox1->item(i - 1)->text());
    ListBox1->item(i - 1)->setText(t);
    ListBox1->setCurrentRow(i - 1);
    Haut->setEnabled(i - 1 >= 2);
    Bas->setEnabled(true);
}

void TForm3::BasClick()
{
    const int i = ListBox1->currentRow();
    if (i < 1 || i + 1 >= ListBox1->count())
        return;
    ElementPrecedent = i + 1;
    const QString t = ListBox1->item(i)->text();
    ListBox1->item(i)->setText(ListBox1->item(i + 1)->text());
    ListBox1->item(i + 1)->setText(t);
    ListBox1->setCurrentRow(i + 1);
    Haut->setEnabled(true);
    Bas->setEnabled(i + 1 < ListBox1->count() - 1);
}

bool TForm3::Applique()
{
    if (!Cible || !Copie)
        return true;
    if (!stocke(ElementPrecedent))
        return false;
    Cible->CopieGroupes(*Copie);
    for (int i = 1; i < ListBox1->count(); ++i) {
        const int g = GroupeDe(ListBox1->item(i)->text());
        if (g > GPoint)
            Position(*Cible, g) = static_cast<uint16_t>(i);
    }
    Cible->GPoint.Position = 0;
    Cible->ConstruitColonnes();
    return true;
}

}  // namespace karst
