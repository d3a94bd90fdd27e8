#include "views/expert.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "calcul/calculateur.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"
#include "survey/nombres.h"
#include "survey/textes.h"
#include "views/contexte.h"
#include "views/controles.h"
#include "views/coupe_branches.h"

namespace karst {

namespace {

QLabel* Etiquette(const QString& texte, QWidget* compagnon, QWidget* parent)
{
    auto* l = new QLabel(texte, parent);
    l->setBuddy(compagnon);
    return l;
}

QLineEdit* Champ(const char* nom, QWidget* parent, const QString& texte = {})
{
    auto* e = new QLineEdit(texte, parent);
    e->setObjectName(nom);
    return e;
}

QPushButton* BoutonPoussoir(const char* nom, const QString& texte, QWidget* parent)
{
    auto* b = new QPushButton(texte, parent);
    b->setObjectName(nom);
    b->setAutoDefault(false);
    return b;
}

std::string Texte(const QLineEdit* e) { return VersCp1252(e->text()); }

// The private network of a construction: the galleries of the current sheets that are out
// of the section and free of terminus ends, with one station as the only reference point,
// and every junction reached from it with its lightest path weight.
struct Reseau {
    TCalculateur calcul;
    bool Construit(const ListeFiches& fiches, const std::string& nom, int indice)
    {
        TPointTopo reference;
        reference.Nom.Affecte(nom);
        reference.Indice = static_cast<uint8_t>(indice);
        calcul.Charge(fiches, {&reference}, 2);
        if (!calcul.Connecte(false))
            return false;
        calcul.AlloueTableaux();
        calcul.CoordonneesProvisoires();
        return true;
    }
    int NbCarrefours() const { return static_cast<int>(calcul.Carrefours.size()); }
    bool Atteint(int k) const
    {
        return k >= 1 && static_cast<std::size_t>(k) < calcul.Connus.size() &&
               calcul.Connus[static_cast<std::size_t>(k)];
    }
    double Distance(int k) const { return calcul.Distances[static_cast<std::size_t>(k)]; }
    const TPointTopo& Carrefour(int k) const { return *calcul.Carrefours[static_cast<std::size_t>(k) - 1]; }
};

}  // namespace

TExpert::TExpert(ContexteVues& contexte, QWidget* parent) : QDialog(parent), contexte_(contexte)
{
    setObjectName("Expert");
    setWindowTitle(QStringLiteral("Expert de construction de coupe"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    Nom_Depart = Champ("Nom_Depart", this);
    Indice_depart = Champ("Indice_depart", this);
    Button1 = BoutonPoussoir("Button1", QStringLiteral("&Rechercher ..."), this);
    auto* depart = new QGroupBox(QStringLiteral("Point de &départ"), this);
    auto* g1 = new QGridLayout(depart);
    g1->addWidget(Etiquette(QStringLiteral("Nom"), Nom_Depart, this), 0, 0);
    g1->addWidget(Nom_Depart, 0, 1);
    g1->addWidget(Etiquette(QStringLiteral("Indice"), Indice_depart, this), 1, 0);
    g1->addWidget(Indice_depart, 1, 1);
    g1->addWidget(Button1, 0, 2);

    Nom_Arrivee = Champ("Nom_Arrivee", this);
    Indice_Arrivee = Champ("Indice_Arrivee", this);
    Button2 = BoutonPoussoir("Button2", QStringLiteral("R&echercher ..."), this);
    Button3 = BoutonPoussoir("Button3", QStringLiteral("Le plus &loin"), this);
    Button4 = BoutonPoussoir("Button4", QStringLiteral("Le plus &profond"), this);
    auto* arrivee = new QGroupBox(QStringLiteral("Point d'&arrivée"), this);
    auto* g2 = new QGridLayout(arrivee);
    g2->addWidget(Etiquette(QStringLiteral("Nom"), Nom_Arrivee, this), 0, 0);
    g2->addWidget(Nom_Arrivee, 0, 1);
    g2->addWidget(Etiquette(QStringLiteral("Indice"), Indice_Arrivee, this), 1, 0);
    g2->addWidget(Indice_Arrivee, 1, 1);
    g2->addWidget(Button2, 0, 2);
    g2->addWidget(Button3, 1, 2);
    g2->addWidget(Button4, 2, 2);

    Nouvelle = new QCheckBox(QStringLiteral("&Nouvelle"), this);
    Nouvelle->setObjectName("Nouvelle");
    Horizontal = Champ("Horizontal", this, QStringLiteral("0"));
    Vertical = Champ("Vertical", this, QStringLiteral("0"));
    Gauche = new QCheckBox(QStringLiteral("De &gauche à droite"), this);
    Gauche->setObjectName("Gauche");
    Gauche->setChecked(true);
    Lateral = new QCheckBox(QStringLiteral("&Inclure les cul-de-sacs latéraux"), this);
    Lateral->setObjectName("Lateral");
    auto* branche = new QGroupBox(QStringLiteral("Branche"), this);
    auto* g3 = new QGridLayout(branche);
    g3->addWidget(Nouvelle, 0, 0, 1, 2);
    g3->addWidget(Etiquette(QStringLiteral("Décalage &horizontal"), Horizontal, this), 1, 0);
    g3->addWidget(Horizontal, 1, 1);
    g3->addWidget(Etiquette(QStringLiteral("Décalage &vertical"), Vertical, this), 2, 0);
    g3->addWidget(Vertical, 2, 1);
    g3->addWidget(Gauche, 3, 0, 1, 2);
    g3->addWidget(Lateral, 4, 0, 1, 2);

    Button5 = BoutonPoussoir("Button5", QStringLiteral("Construire"), this);
    Button5->setDefault(true);
    Button6 = BoutonPoussoir("Button6", QStringLiteral("Annuler"), this);
    QHBoxLayout* boutons = LigneBoutons({Button5, Button6});
    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(depart);
    colonne->addWidget(arrivee);
    colonne->addWidget(branche);
    colonne->addLayout(boutons);

    Indice_depart->installEventFilter(this);
    Indice_Arrivee->installEventFilter(this);
    connect(Nouvelle, &QCheckBox::toggled, this, [this] { NouvelleClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { PointDeLaSelection(Nom_Depart, Indice_depart); });
    connect(Button2, &QPushButton::clicked, this, [this] { PointDeLaSelection(Nom_Arrivee, Indice_Arrivee); });
    connect(Button3, &QPushButton::clicked, this, [this] { CherchePointExtreme(false); });
    connect(Button4, &QPushButton::clicked, this, [this] { CherchePointExtreme(true); });
    connect(Button5, &QPushButton::clicked, this, [this] {
        if (Construit())
            accept();
    });
    connect(Button6, &QPushButton::clicked, this, &QDialog::reject);
}

bool TExpert::eventFilter(QObject* objet, QEvent* evenement)
{
    if ((objet == Indice_depart || objet == Indice_Arrivee) && evenement->type() == QEvent::KeyPress) {
        const QString t = static_cast<QKeyEvent*>(evenement)->text();
        // Only digits are typed into an index; editing and moving keys carry no text.
        if (t.size() == 1 && t[0].isPrint() && !(t[0] >= QChar(u'0') && t[0] <= QChar(u'9')))
            return true;
    }
    return QDialog::eventFilter(objet, evenement);
}

void TExpert::showEvent(QShowEvent* evenement)
{
    FormShow();
    QDialog::showEvent(evenement);
}

void TExpert::NouvelleClick()
{
    Horizontal->setEnabled(Nouvelle->isChecked());
    Vertical->setEnabled(Nouvelle->isChecked());
}

void TExpert::FormShow()
{
    Nouvelle->setChecked(true);
    NouvelleClick();
    TMassif* m = contexte_.Massif();
    int fiche, galerie, point;
    if (!m || !m->FichesCourantes || !contexte_.SelectionVueActive(fiche, galerie, point))
        return;
    const ListeFiches& fiches = *m->FichesCourantes;
    if (fiche < 0 || static_cast<std::size_t>(fiche) >= fiches.size() || !fiches[static_cast<std::size_t>(fiche)])
        return;
    const TFiche& f = *fiches[static_cast<std::size_t>(fiche)];
    if (galerie < 0 || static_cast<std::size_t>(galerie) >= f.Galeries.size())
        return;
    const TGalerie& g = *f.Galeries[static_cast<std::size_t>(galerie)];
    const TPointTopo& loin = StationLoin(g);
    if (!g.DansCoupe || loin.Terminus)
        return;
    Nouvelle->setChecked(false);
    Gauche->setChecked(g.GaucheDroite);
    MontreReel(Horizontal, g.CoupeX1, 6, 2);
    MontreReel(Vertical, g.CoupeZ0, 4, 1);
    Nom_Depart->setText(DepuisCp1252(loin.Nom.Chaine()));
    Indice_depart->setText(QString::number(loin.Indice));
}

void TExpert::PointDeLaSelection(QLineEdit* nom, QLineEdit* indice)
{
    TMassif* m = contexte_.Massif();
    if (!m || !m->FichesCourantes)
        return;
    std::array<std::string, 5> criteres;
    criteres[4] = MajAscii(Texte(nom));
    TFiche* fiche = nullptr;
    int galerie = 0;
    if (!contexte_.RechercheSimple(*m->FichesCourantes, criteres, fiche, galerie))
        return;
    if (galerie == -1) {
        Invite().Information(QStringLiteral("Il faut obligatoirement passer par la visualisation avec cette méthode"));
        return;
    }
    if (!fiche || galerie < 0 || static_cast<std::size_t>(galerie) >= fiche->Galeries.size())
        return;
    const TGalerie& g = *fiche->Galeries[static_cast<std::size_t>(galerie)];
    const TPointTopo* choisi = nullptr;
    if (g.Depart.Terminus && g.Arrivee.Terminus) {
        Invite().Avertissement(QStringLiteral("La galerie sélectionnée n'a que des terminus"));
        return;
    }
    if (g.Depart.Terminus)
        choisi = &g.Arrivee;
    else if (g.Arrivee.Terminus)
        choisi = &g.Depart;
    else {
        const std::string cherche = MajAscii(Texte(nom));
        const bool depart = g.Depart.Nom.ChaineMaj() == cherche, fin = g.Arrivee.Nom.ChaineMaj() == cherche;
        if (depart != fin)
            choisi = depart ? &g.Depart : &g.Arrivee;
        else {
            const Bouton b = Invite().Message(QStringLiteral("Deux points possibles : ") +
                                                  DepuisCp1252(TexteStation(g.Arrivee)) + QStringLiteral(" (Oui) et ") +
                                                  DepuisCp1252(TexteStation(g.Depart)) + QStringLiteral(" (Ok)"),
                                              Icone::Confirmation, {Bouton::Oui, Bouton::OK});
            choisi = b == Bouton::Oui ? &g.Arrivee : &g.Depart;
        }
    }
    nom->setText(DepuisCp1252(choisi->Nom.Chaine()));
    indice->setText(QString::number(choisi->Indice));
}

bool TExpert::LitIndice(QLineEdit* champ, int& indice)
{
    long long v = 0;
    const bool nombre = LitEntier(Texte(champ), v);
    if (!nombre || v < 1) {
        Invite().Avertissement(QStringLiteral("L'indice doit être numérique et positif."));
        champ->setFocus();
        return false;
    }
    // A station index is one byte: a larger number would name another station.
    if (v > kIndiceMax) {
        Invite().Avertissement(QStringLiteral("L'indice doit être compris entre 1 et 255."));
        champ->setFocus();
        return false;
    }
    indice = static_cast<int>(v);
    return true;
}

void TExpert::CherchePointExtreme(bool profond)
{
    TMassif* m = contexte_.Massif();
    if (!m || !m->FichesCourantes)
        return;
    int indice;
    if (!LitIndice(Indice_depart, indice))
        return;
    Reseau r;
    if (!r.Construit(*m->FichesCourantes, Texte(Nom_Depart), indice)) {
        Invite().Avertissement(QStringLiteral("Point de départ inconnu ou déjà en coupe."));
        return;
    }
    double meilleur = profond ? 10000.0 : 0.0;
    for (int k = 1; k <= r.NbCarrefours(); ++k) {
        if (!r.Atteint(k))
            continue;
        const TPointTopo& c = r.Carrefour(k);
        const double v = profond ? c.Z.d() : r.Distance(k);
        if (profond ? v < meilleur : v > meilleur) {
            meilleur = v;
            Nom_Arrivee->setText(DepuisCp1252(c.Nom.ChaineMaj()));
            Indice_Arrivee->setText(QString::number(c.Indice));
        }
    }
}

bool TExpert::Construit()
{
    TMassif* m = contexte_.Massif();
    if (!m || !m->FichesCourantes)
        return false;
    const ListeFiches& fiches = *m->FichesCourantes;
    const std::string nomDepart = Texte(Nom_Depart), indiceDepart = Texte(Indice_depart);
    if (Nouvelle->isChecked() && !ReelsAdmis({Horizontal, Vertical}))
        return false;

    // Continuing: the branch whose far station is the start, written exactly as typed.
    TGalerie* parent = nullptr;
    if (!Nouvelle->isChecked()) {
        auto convient = [&](const TGalerie& g) {
            const TPointTopo& loin = StationLoin(g);
            return g.DansCoupe && !loin.Terminus && loin.Nom.Chaine() == nomDepart &&
                   FormatEntier(loin.Indice) == indiceDepart;
        };
        int fi, gi, point;
        if (contexte_.SelectionVueActive(fi, gi, point) && fi >= 0 && static_cast<std::size_t>(fi) < fiches.size() &&
            fiches[static_cast<std::size_t>(fi)] && gi >= 0 &&
            static_cast<std::size_t>(gi) < fiches[static_cast<std::size_t>(fi)]->Galeries.size()) {
            TGalerie* g = fiches[static_cast<std::size_t>(fi)]->Galeries[static_cast<std::size_t>(gi)];
            if (convient(*g))
                parent = g;
        }
        for (std::size_t i = 0; !parent && i < fiches.size(); ++i) {
            if (!fiches[i])
                continue;
            for (TGalerie* g : fiches[i]->Galeries)
                if (convient(*g)) {
                    parent = g;
                    break;
                }
        }
        if (!parent) {
            Invite().Avertissement(QStringLiteral("Impossible de raccrocher le départ à une branche connue"));
            return false;
        }
        // The branch goes on as one more continuation of its parent, which has room for five.
        if (parent->NbSuites >= kMaxSuites) {
            Invite().Avertissement(QStringLiteral("Pas plus de 5 suites par galerie"));
            return false;
        }
    }

    int indiceArrivee;
    if (!LitIndice(Indice_Arrivee, indiceArrivee))
        return false;
    Reseau r;
    if (!r.Construit(fiches, Texte(Nom_Arrivee), indiceArrivee)) {
        Invite().Avertissement(QStringLiteral("Il n'y a rien à mettre en coupe. Vérifiez le point d'arrivée."));
        return false;
    }
    int debut = 0;
    const std::string nomMaj = MajAscii(nomDepart);
    for (int k = 1; k <= r.NbCarrefours(); ++k) {
        const TPointTopo& c = r.Carrefour(k);
        if (r.Atteint(k) && c.Nom.ChaineMaj() == nomMaj && FormatEntier(c.Indice) == indiceDepart)
            debut = k;
    }
    // Stepping to the neighbour nearest the arrival (rather than along the lightest path)
    // could take a heavier way round, and never stepped onto the arrival itself.
    const std::vector<const TConcentre*> chemin =
        debut == 0 ? std::vector<const TConcentre*>{} : r.calcul.CheminLePlusLeger(debut);
    if (chemin.empty()) {
        Invite().Avertissement(QStringLiteral("Impossible de rejoindre les deux points. Vérifiez le point de départ."));
        return false;
    }
    contexte_.OteSelectionCoupe();

    const bool gauche = Gauche->isChecked();
    TGalerie* precedente = parent;
    std::vector<const TGalerie*> nouvelles;
    // A gallery entering the section at its start (parDepart) or its end.
    auto metEnCoupe = [&](TGalerie& g, bool parDepart) {
        nouvelles.push_back(&g);
        g.NbSuites = 0;
        g.Sens = parDepart;
        g.GaucheDroite = gauche;
        g.DansCoupe = true;
    };
    // A branch starting with gallery gi of sheet `ordre`, already put into the section.
    auto racine = [&](Reel6 x, Reel6 z, int32_t ordre, int32_t gi, const TGalerie& g) -> TPointCoupe& {
        auto p = std::make_unique<TPointCoupe>();
        p->X = x;
        p->Z = z;
        p->Nom.Copie(StationEntree(g).Nom);
        p->Indice = StationEntree(g).Indice;
        p->Fiche = ordre;
        p->Galerie = gi;
        return *m->Coupe.ajoute(std::move(p));
    };
    // Puts a gallery into the section after the previous one, or as a new branch start.
    auto entre = [&](const TFiche& f, int gi, TGalerie& g, bool parDepart) {
        metEnCoupe(g, parDepart);
        if (precedente)
            AjouteSuite(*precedente, f.Ordre, gi);
        else
            racine(LitReelEdition(Horizontal), LitReelEdition(Vertical), f.Ordre, gi, g);
        precedente = &g;
    };
    // A dead end that the gallery it hangs from (the junction: sheet number, position) has
    // no room for.
    struct CulDeSac {
        int32_t jonctionFiche, jonctionGalerie;
        int32_t fiche, galerie;
        TGalerie* g;
        bool parDepart;
    };
    std::vector<CulDeSac> enSurnombre;
    // The dead ends at the far station of g, as its continuations, keeping `reserve` places
    // free for the path; those beyond the five places are kept for branches of their own.
    auto culsDeSac = [&](TGalerie& g, int32_t ordre, int32_t gi, int reserve) {
        if (!Lateral->isChecked())
            return;
        const TPointTopo loin = StationLoin(g);
        for (TFiche* f : fiches) {
            if (!f)
                continue;
            for (std::size_t j = 0; j < f->Galeries.size(); ++j) {
                TGalerie& h = *f->Galeries[j];
                if (h.DansCoupe)
                    continue;
                const bool parDepart = h.Depart.Egal(loin) && h.Arrivee.Terminus;
                if (!parDepart && !(h.Arrivee.Egal(loin) && h.Depart.Terminus))
                    continue;
                if (g.NbSuites >= kMaxSuites - reserve) {
                    enSurnombre.push_back({ordre, gi, f->Ordre, static_cast<int32_t>(j), &h, parDepart});
                    continue;
                }
                AjouteSuite(g, f->Ordre, static_cast<int32_t>(j));
                metEnCoupe(h, parDepart);
            }
        }
    };

    // Along the lightest path, from the start to the arrival.
    int32_t noeud = debut;
    for (std::size_t i = 0; i < chemin.size(); ++i) {
        const TConcentre& c = *chemin[i];
        const bool parDepart = c.NoeudDebut == noeud;
        noeud = parDepart ? c.NoeudFin : c.NoeudDebut;
        TFiche* fiche = fiches[static_cast<std::size_t>(c.MembreFiche[0])];
        const int gi = c.MembreGalerie[0];
        TGalerie& g = *fiche->Galeries[static_cast<std::size_t>(gi)];
        entre(*fiche, gi, g, parDepart);
        // At the stations on the way, room is kept for the next gallery of the path.
        culsDeSac(g, fiche->Ordre, gi, i + 1 < chemin.size() ? 1 : 0);
    }

    // The dead ends in excess are branches hung at their junction: the layout starts them
    // where the junction's continuations start, wherever the branch commands take it.
    for (const CulDeSac& c : enSurnombre) {
        metEnCoupe(*c.g, c.parDepart);
        TPointCoupe& p = racine(0, 0, c.fiche, c.galerie, *c.g);
        p.Accrochee = true;
        p.JonctionFiche = c.jonctionFiche;
        p.JonctionGalerie = c.jonctionGalerie;
    }

    m->PlaceCoupe();
    m->VerifieCoupe();
    contexte_.MassifModifie(m, Recalcul::Aucun, false);
    contexte_.RedessineCoupe();
    contexte_.MontreGaleriesCoupe(nouvelles);
    return true;
}

}  // namespace karst
