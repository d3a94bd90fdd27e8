#pragma once
// Answers the next message box the program shows on the screen, as a user would: once the
// box is up and active, a key is typed into the widget that has the focus in it.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest/QTest>
#include <memory>

namespace ecran {

// What the box showed when the key was typed; `vue` is false when no box came, or when the
// box stayed open whatever was typed (it is then closed, so that the test fails, not hangs).
struct BoiteVue {
    bool vue = false;
    QString texte;
    QStringList boutons;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    int largeur = 0;
};

inline std::shared_ptr<BoiteVue> RepondBoite(Qt::Key touche, Qt::KeyboardModifiers modificateurs = Qt::NoModifier)
{
    // Ticks of 5 ms. A loaded machine may be slow to show or activate the box: the waits are
    // generous, and a key that went unheard (a shortcut typed before the box was active) is typed again.
    constexpr int kAttenteBoite = 6000, kAttenteActivation = 400, kIntervalleRepetition = 200, kRepetitions = 5;
    struct Etat {
        int essais = 0, envois = 0;
        QPointer<QMessageBox> boite;
    };
    auto vue = std::make_shared<BoiteVue>();
    auto etat = std::make_shared<Etat>();
    auto* minuterie = new QTimer;
    minuterie->setInterval(5);
    const auto tape = [=](QMessageBox* boite) {
        QWidget* cible = QApplication::focusWidget();
        if (!cible || cible->window() != boite)
            cible = boite;
        QTest::keyClick(cible, touche, modificateurs);
        ++etat->envois;
    };
    QObject::connect(minuterie, &QTimer::timeout, [=] {
        const auto arrete = [&] {
            minuterie->stop();
            minuterie->deleteLater();
        };
        ++etat->essais;
        if (!etat->boite) {
            if (etat->envois > 0)
                return arrete();  // answered and gone
            auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!boite || !boite->isVisible()) {
                // A box that never comes must not leave the timer running for the next test.
                if (etat->essais >= kAttenteBoite)
                    arrete();
                return;
            }
            if (QApplication::activeWindow() != boite && etat->essais < kAttenteBoite) {
                boite->activateWindow();
                if (etat->essais % kAttenteActivation != 0)
                    return;
            }
            vue->vue = true;
            vue->texte = boite->text();
            vue->icone = boite->icon();
            vue->largeur = boite->frameGeometry().width();
            for (QAbstractButton* b : boite->buttons())
                vue->boutons << b->text();
            etat->boite = boite;
            etat->essais = 0;
            tape(boite);
            return;
        }
        if (!etat->boite->isVisible())
            return arrete();
        if (etat->essais % kIntervalleRepetition != 0)
            return;
        if (etat->envois < kRepetitions) {
            tape(etat->boite);
            return;
        }
        vue->vue = false;
        etat->boite->done(-1);
        arrete();
    });
    minuterie->start();
    return vue;
}

}  // namespace ecran
