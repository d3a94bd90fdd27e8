// Reals that the dialogs show with fewer digits than the massif holds: opened and confirmed
// without a change, they leave the massif as it was, byte for byte.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "dialogs/dialogues_saisie.h"
#include "dialogs/references.h"
#include "form1_aide.h"
#include "hote_factice.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "shell/form1.h"
#include "survey/aide_fichiers.h"

using namespace karst;
using namespace karst::test;

namespace {

// The user shows the dialog and presses Enter in the control that has the focus.
int ValideParEntree(QDialog& d)
{
    d.show();
    QApplication::setActiveWindow(&d);
    QApplication::processEvents();
    QWidget* focus = QApplication::focusWidget();
    EXPECT_NE(focus, nullptr);
    QTest::keyClick(focus ? focus : &d, Qt::Key_Return);
    d.hide();
    return d.result();
}

class ValeursMontrees : public AvecForm1 {};
}  // namespace

TEST_F(ValeursMontrees, DeclinaisonsConfirmeesSansChangement)
{
    const std::string chemin = dirM.path().toStdString() + "/massif.fic";
    {
        TMassif m;
        Fiche(m, {"S", "C", "R", "L"});
        m.Angle_Geodesique = -14.281096L;
        m.Origine_Declinaison = 2.3456789L;
        m.Variation_Declinaison = 0.0123456789L;
        m.Date_Declinaison = "15/06/98";
        for (TFiche* fiche : m.Fiches)
            fiche->Calcule(m.Angle_Geodesique);
        m.Sauve(chemin);
    }
    const std::string avant = essai::Contenu(chemin);
    auto f = Cree();
    ASSERT_TRUE(f->OuvreMassif(chemin));
    f->Massif->Enregistre = true;
    QString geodesique;
    {
        PiloteModalInstalle p([&](QDialog& d) {
            geodesique = d.findChild<QLineEdit*>(QStringLiteral("Edit3"))->text();
            return ValideParEntree(d);
        });
        f->Dclinaison1->trigger();
    }
    EXPECT_EQ(geodesique, QStringLiteral("-14.281096"));
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_FALSE(f->Depart_Calcul_Rapide->isActive());
    const std::string copie = dirM.path().toStdString() + "/copie.fic";
    f->Massif->Sauve(copie);
    EXPECT_EQ(essai::Contenu(copie), avant);

    // A value typed over the one shown is taken as typed, and the sheets follow the new angle.
    {
        PiloteModalInstalle p([&](QDialog& d) {
            auto* e = d.findChild<QLineEdit*>(QStringLiteral("Edit3"));
            e->setFocus();
            e->selectAll();
            QTest::keyClicks(e, "-14.28");
            return ValideParEntree(d);
        });
        f->Dclinaison1->trigger();
    }
    EXPECT_EQ(static_cast<long double>(f->Massif->Angle_Geodesique), Reel6(-14.28L));
    EXPECT_EQ(static_cast<long double>(f->Massif->Origine_Declinaison), Reel6(2.3456789L));
    EXPECT_FALSE(f->Massif->Enregistre);
    f->Massif->Enregistre = true;
}

TEST_F(ValeursMontrees, PointsDeReferenceEtCoefficientsGardesTelsQuels)
{
    const std::string chemin = dirM.path().toStdString() + "/massif.fic";
    {
        TMassif m;
        Fiche(m, {"S", "C", "R", "L"});
        auto p = std::make_unique<TPointTopo>();
        p->Nom.Affecte("E");
        p->Indice = 1;
        p->X = 880.2361234567L;
        p->Y = 3100.123456789L;
        p->Z = 1234.56789L;
        m.AjouteReference(std::move(p));
        m.Sauve(chemin);
    }
    const std::string avant = essai::Contenu(chemin);
    auto f = Cree();
    ASSERT_TRUE(f->OuvreMassif(chemin));
    f->Massif->Enregistre = true;
    {
        PiloteModalInstalle pilote([&](QDialog& d) {
            auto& r = static_cast<TReference&>(d);
            EXPECT_EQ(r.StringGrid1->item(0, 2)->text(), QStringLiteral("880.236123457"));
            // Deleting a row above moves the point's cells up with the values they show.
            r.StringGrid1->insertRow(0);
            r.StringGrid1->setItem(0, 0, new QTableWidgetItem(QStringLiteral("X")));
            r.StringGrid1->setCurrentCell(0, 0);
            r.show();
            QTest::mouseClick(r.Supprimer, Qt::LeftButton);
            QTest::mouseClick(r.Button1, Qt::LeftButton);
            r.hide();
            return r.result();
        });
        f->Pointsderfrence1->trigger();
    }
    // Confirmed as they were: the massif is not modified and nothing is computed.
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_FALSE(f->Depart_Calcul_Rapide->isActive());
    const std::string copie = dirM.path().toStdString() + "/copie.fic";
    f->Massif->Sauve(copie);
    EXPECT_EQ(essai::Contenu(copie), avant);

    // The gallery's coefficients keep every digit when confirmed as shown.
    TInformations i;
    TEco commentaire;
    Reel6 coefficient = 1.23456789L, topofil = 1.00234567L;
    const Reel6 c0 = coefficient, t0 = topofil;
    i.ChargeFiche(commentaire, coefficient, topofil);
    EXPECT_EQ(i.Deformation->text(), QStringLiteral("1.23456789"));
    ASSERT_EQ(ValideParEntree(i), QDialog::Accepted);
    i.EnregistreFiche(commentaire, coefficient, topofil);
    EXPECT_EQ(coefficient.d(), c0.d());
    EXPECT_EQ(topofil.d(), t0.d());
}
