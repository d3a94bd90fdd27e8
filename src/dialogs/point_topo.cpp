#include "dialogs/point_topo.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/choix_recherche.h"
#include "dialogs/hors_cp1252.h"
#include "dialogs/recherche.h"
#include "dialogs/saisie.h"
#include "formulaires/controles.h"
#include "formulaires/messages_communs.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "survey/nombres.h"
#include "views/contexte.h"
#include "views/messages_communs.h"

namespace karst {

namespace {

// A station as the proposals and the question show it: A12(3).
QString AvecIndice(const TPointTopo& p)
{
    return DepuisCp1252(p.Nom.Chaine()) + QLatin1Char('(') + QString::fromStdString(FormatEntier(p.Indice)) +
           QLatin1Char(')');
}

// The stations of the sheet being typed that can take an index.
std::vector<const TPointTopo*> StationsSaisie(const SaisieEnCours& s)
{
    std::vector<const TPointTopo*> r;
    if (s.Depart)
        r.push_back(&*s.Depart);
    for (const auto& [arrivee, depart] : s.Noeuds) {
        r.push_back(&arrivee);
        r.push_back(&depart);
    }
    if (s.Final)
        r.push_back(&*s.Final);
    return r;
}

// A station written as the proposals show it, name then index in brackets: the two parts.
bool SepareIndice(const QString& t, QString& nom, QString& indice)
{
    const qsizetype ouvre = t.endsWith(QLatin1Char(')')) ? t.lastIndexOf(QLatin1Char('('), t.size() - 2) : -1;
    if (ouvre < 0)
        return false;
    indice = t.mid(ouvre + 1, t.size() - ouvre - 2);
    if (indice.isEmpty() || std::any_of(indice.begin(), indice.end(), [](QChar c) { return !c.isDigit(); }))
        return false;
    nom = t.left(ouvre);
    return true;
}

}  // namespace

TPoint_Topo::TPoint_Topo(Recherches& recherches, QWidget* parent) : QDialog(parent), recherches_(recherches)
{
    setObjectName(QStringLiteral("Point_Topo"));
    setWindowTitle(QStringLiteral("Point"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    QFont gras = font();
    gras.setBold(true);
    setFont(gras);

    RadioGroup1 = new QGroupBox(QStringLiteral("Nature"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    Terminus = NouveauRadio(QStringLiteral("T&erminus"), "Terminus", RadioGroup1);
    PointTopo = NouveauRadio(QStringLiteral("&Point topo"), "PointTopo", RadioGroup1);
    auto* nature = new QVBoxLayout(RadioGroup1);
    nature->addWidget(Terminus);
    nature->addWidget(PointTopo);
    PointTopo->setChecked(true);

    Nom = new QComboBox(this);
    Nom->setObjectName(QStringLiteral("Nom"));
    Nom->setEditable(true);
    Nom->setInsertPolicy(QComboBox::NoInsert);
    // A proposal completing the name being typed would be taken for a chosen one, its index
    // with it: the name stays as typed until a proposal is chosen from the list.
    Nom->setCompleter(nullptr);
    auto* libelleNom = new QLabel(QStringLiteral("No&m"), this);
    libelleNom->setBuddy(Nom);

    Indice = new QGroupBox(QStringLiteral("Indice"), this);
    Indice->setObjectName(QStringLiteral("Indice"));
    Ind = NouvelleEdition("Ind", Indice);
    FiltreCles(Ind, GenreNombre::Naturel);
    Button1 = NouveauBouton(QStringLiteral("&Rechercher ..."), "Button1", Indice);
    Button2 = NouveauBouton(QStringLiteral("&Nouveau"), "Button2", Indice);
    auto* ligneIndice = new QHBoxLayout(Indice);
    ligneIndice->addWidget(Ind);
    ligneIndice->addWidget(Button1);
    ligneIndice->addWidget(Button2);

    Button3 = NouveauBouton(QStringLiteral("Valider"), "Button3", this);
    Button3->setDefault(true);
    Button4 = NouveauBouton(QStringLiteral("Point &final"), "Button4", this);
    Button5 = NouveauBouton(QStringLiteral("Annuler"), "Button5", this);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);

    connect(Terminus, &QRadioButton::clicked, this, [this] { RadioGroup1Click(); });
    connect(PointTopo, &QRadioButton::clicked, this, [this] { RadioGroup1Click(); });
    connect(Nom, &QComboBox::editTextChanged, this, [this] { Modifie = true; });
    connect(Nom, &QComboBox::activated, this, [this] { NomChange(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(Ind, &QLineEdit::textChanged, this, [this] { Modifie = true; });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { OKBtnClick(Valider); });
    connect(Button4, &QPushButton::clicked, this, [this] { OKBtnClick(PointFinal); });
    connect(Button5, &QPushButton::clicked, this, [this] { done(Annuler); });

    auto* ligneNom = new QHBoxLayout;
    ligneNom->addWidget(libelleNom);
    ligneNom->addWidget(Nom, 1);
    auto* droite = new QVBoxLayout;
    droite->addLayout(ligneNom);
    droite->addWidget(Indice);
    auto* haut = new QHBoxLayout;
    haut->addWidget(RadioGroup1);
    haut->addLayout(droite, 1);
    auto* colonne = new QVBoxLayout(this);
    colonne->addLayout(haut);
    colonne->addLayout(LigneBoutons({Button3, Button4, Button5}));
}

void TPoint_Topo::Initialise(int mode, TMassif* massif, bool vider)
{
    Massif = massif;
    if (vider) {
        Nom->setEditText(QString());
        Ind->clear();
        PointTopo->setChecked(true);
        active(true);
    }
    Mode = static_cast<int16_t>(mode % 2);
    setWindowTitle(Mode == 0 ? QStringLiteral("Point de départ") : QStringLiteral("Point d'arrivée"));
    Button4->setVisible(mode / 2 == 1);
    remplitNoms();
}

void TPoint_Topo::remplitNoms()
{
    const SaisieEnCours s = Saisie ? Saisie() : SaisieEnCours{};
    TFiche sortie;
    sortie.Date = s.Date.substr(0, 8);
    for (const std::string& t : s.Topographes)
        sortie.Topographes.emplace_back(t);

    std::vector<const TPointTopo*> proposes;
    auto propose = [&proposes](const TPointTopo& p) {
        if (p.Terminus)
            return;
        for (const TPointTopo* q : proposes)
            if (q->Egal(p))
                return;
        proposes.push_back(&p);
    };
    for (auto n = s.Noeuds.rbegin(); n != s.Noeuds.rend(); ++n) {
        propose(n->first);
        propose(n->second);
    }
    if (s.Depart && s.Depart->Indice != 0)
        propose(*s.Depart);
    if (s.Final)
        propose(*s.Final);
    if (Massif)
        for (auto f = Massif->Fiches.rbegin(); f != Massif->Fiches.rend(); ++f) {
            if (!*f || !(*f)->MemeSortie(sortie))
                continue;
            for (auto g = (*f)->Galeries.rbegin(); g != (*f)->Galeries.rend(); ++g)
                if (*g) {
                    propose((*g)->Depart);
                    propose((*g)->Arrivee);
                }
        }

    const QString texte = Nom->currentText();
    const bool bloque = Nom->blockSignals(true);
    Nom->clear();
    for (const TPointTopo* p : proposes)
        Nom->addItem(AvecIndice(*p));
    Nom->setEditText(texte);
    Nom->blockSignals(bloque);
}

void TPoint_Topo::active(bool point)
{
    for (QWidget* w : {static_cast<QWidget*>(Nom), static_cast<QWidget*>(Ind), static_cast<QWidget*>(Button1),
                       static_cast<QWidget*>(Button2)})
        w->setEnabled(point);
}

void TPoint_Topo::AffichePoint(const TPointTopo& p)
{
    if (p.Terminus) {
        Terminus->setChecked(true);
        active(false);
        return;
    }
    PointTopo->setChecked(true);
    active(true);
    Nom->setEditText(DepuisCp1252(p.Nom.Chaine()));
    Ind->setText(QString::fromStdString(FormatEntier(p.Indice)));
}

void TPoint_Topo::LitPoint(TPointTopo& p) const
{
    p.Terminus = Terminus->isChecked();
    if (p.Terminus)
        return;
    p.Nom.Affecte(VersCp1252(Nom->currentText()));
    long long i = 0;
    if (LitEntier(VersCp1252(Ind->text()), i) && IndiceValide(static_cast<int>(std::clamp<long long>(i, -1, 256))))
        p.Indice = static_cast<uint8_t>(i);
}

int TPoint_Topo::Montre()
{
    const int r = ExecuteModal(*this);
    return r == Valider || r == PointFinal ? r : Annuler;
}

void TPoint_Topo::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TPoint_Topo::FormActivate()
{
    if (Nom->isEnabled())
        Nom->setFocus();
    Modifie = false;
}

void TPoint_Topo::RadioGroup1Click()
{
    Modifie = true;
    active(PointTopo->isChecked());
}

void TPoint_Topo::NomChange()
{
    Modifie = true;
    const QString t = Nom->currentText();
    QString indice;
    if (!SepareIndice(t, NomSaisi, indice))
        return;
    Ind->setText(indice);
    choisi_ = t;
    // The combo's text cannot be changed while it reports the choice: a moment later.
    Timer1->start();
}

void TPoint_Topo::Timer1Timer()
{
    Timer1->stop();
    // What was typed meanwhile stays.
    if (Nom->currentText() != choisi_)
        return;
    Nom->setEditText(NomSaisi);
    if (Nom->lineEdit())
        Nom->lineEdit()->setCursorPosition(static_cast<int>(NomSaisi.size()));
}

void TPoint_Topo::Button2Click()
{
    const std::string nom = MajAscii(VersCp1252(Nom->currentText()));
    const SaisieEnCours s = Saisie ? Saisie() : SaisieEnCours{};
    const std::vector<const TPointTopo*> stations = StationsSaisie(s);
    int depart = 0, indice = 0;
    for (;;) {
        indice = Massif ? Massif->IndiceLibre(nom, depart) : depart + 1;
        bool pris = false;
        for (const TPointTopo* p : stations)
            if (!p->Terminus && p->Indice == indice && p->Nom.ChaineMaj() == nom)
                pris = true;
        if (!pris)
            break;
        depart = indice;
    }
    Ind->setText(QString::fromStdString(FormatEntier(indice)));
}

void TPoint_Topo::prend(const TPointTopo& p)
{
    Nom->setEditText(DepuisCp1252(p.Nom.Chaine()));
    Ind->setText(QString::fromStdString(FormatEntier(p.Indice)));
}

void TPoint_Topo::Button1Click()
{
    if (!Massif)
        return;
    const std::string nom = MajAscii(VersCp1252(Nom->currentText()));
    TFiche* fiche = nullptr;
    int galerie = 0;
    if (!recherches_.RechercheSimple(Massif->Fiches, Massif, fiche, galerie, {}, {}, {}, {}, nom) || !fiche)
        return;
    if (galerie < 0) {
        Invite().Message(QString::fromUtf8(kTexteVisualisationObligatoire), Icone::Aucune, {Bouton::OK});
        return;
    }
    if (static_cast<std::size_t>(galerie) >= fiche->Galeries.size() || !fiche->Galeries[galerie])
        return;
    const TGalerie& g = *fiche->Galeries[static_cast<std::size_t>(galerie)];
    if (g.Depart.Terminus && g.Arrivee.Terminus) {
        Invite().Avertissement(QString::fromUtf8(kTexteGalerieTerminus));
        return;
    }
    if (g.Depart.Terminus || g.Arrivee.Terminus) {
        prend(g.Depart.Terminus ? g.Arrivee : g.Depart);
        return;
    }
    const bool arrivee = g.Arrivee.Nom.ChaineMaj() == nom, depart = g.Depart.Nom.ChaineMaj() == nom;
    if (arrivee != depart) {
        prend(arrivee ? g.Arrivee : g.Depart);
        return;
    }
    const Bouton b = Invite().Message(TexteDeuxPointsPossibles(AvecIndice(g.Arrivee), AvecIndice(g.Depart)),
                                      Icone::Confirmation, {Bouton::Oui, Bouton::OK});
    prend(b == Bouton::OK ? g.Depart : g.Arrivee);
}

void TPoint_Topo::OKBtnClick(int resultat)
{
    // A proposal chosen just before closing is stored as its name.
    if (Timer1->isActive())
        Timer1Timer();
    // A station typed as the list shows one is that name and that index, as if chosen.
    QString nom, texteIndice;
    if (PointTopo->isChecked() && SepareIndice(Nom->currentText(), nom, texteIndice)) {
        Nom->setEditText(nom);
        Ind->setText(texteIndice);
    }
    int indice = 0;
    if (PointTopo->isChecked() && !LitIndiceChamp(Ind, indice))
        return;
    // The sheet keeps the name in Windows-1252: what it lacks is said before it becomes "?".
    if (PointTopo->isChecked() && TexteARevoir({{QStringLiteral("Le nom de la station"), Nom->currentText(), Nom}},
                                               QStringLiteral("Le garder ainsi ?")) >= 0)
        return;
    done(resultat);
}

}  // namespace karst
