#include "exchange/outils.h"

#include <algorithm>
#include <filesystem>

#include "exchange/echange.h"
#include "survey/fichier_texte.h"
#include "survey/flux.h"
#include "survey/modele.h"
#include "survey/nombres.h"
#include "survey/textes.h"

namespace karst::echange {

void PremiersTextes::Ajoute(std::string texte)
{
    if (premiers_.size() < kMontres)
        premiers_.push_back(std::move(texte));
    ++nombre_;
}

void TextesPerdus::Ajoute(const std::string& qui, const std::string& texte)
{
    const std::string hors = CaracteresHorsCp1252(texte);
    if (hors.empty())
        return;
    std::string cite = SansBlancs(texte);
    std::replace(cite.begin(), cite.end(), '\t', ' ');
    // A long line is cut, as the reader lets lines run to thousands of characters.
    std::size_t caracteres = 0, coupe = 0;
    for (; coupe < cite.size(); ++coupe)
        if ((cite[coupe] & 0xC0) != 0x80 && caracteres++ == 200)
            break;
    PremiersTextes::Ajoute(qui + "« " + cite.substr(0, coupe) + (coupe < cite.size() ? "…" : "") + " » (« " + hors +
                           " »)");
}

std::string PremiersTextes::Liste(bool enLignes) const { return ListeBornee(premiers_, kMontres, enLignes, nombre_); }

LignesImportees::LignesImportees(const std::string& fichier, FinsDeLigne fins, char (*autre)(char))
    : fichier_(fichier), lecture_(fichier, kLongueurMaxEchange, fins), autre_(autre)
{
}

// The next line as the file holds it.
std::string LignesImportees::Brute()
{
    if (lues_ >= kLignesMaxEchange)
        Endommage(fichier_, lues_ + 1,
                  "le fichier dépasse les " + FormatEntier(static_cast<long long>(kLignesMaxEchange)) +
                      " lignes qu'il peut compter");
    ++lues_;
    try {
        return lecture_.LitLigne();
    } catch (const ErreurFichierEndommage& e) {
        throw ErreurEchange(e.what());  // refused as every other damage of the file
    }
}

bool LignesImportees::Lit(std::string& ligne)
{
    if (videsLus_) {
        --videsLus_;
        ++numero_;
        ligne.clear();
        return true;
    }
    if (lecture_.Fin())
        return false;
    ligne = Brute();
    numero_ = lues_;
    if (!ligne.empty() && ligne.back() == '\x1A') {
        // The Ctrl-Z a DOS editor puts after the text ends the last line that holds anything.
        while (!lecture_.Fin())
            if (!Brute().empty())
                RefuseOctetsDeControle(fichier_, numero_, ligne);
        ligne.pop_back();
        videsLus_ = lues_ - numero_;
    }
    RefuseOctetsDeControle(fichier_, numero_, ligne);
    if (numero_ == 1 && ligne.rfind("\xEF\xBB\xBF", 0) == 0)
        ligne.erase(0, 3);
    DecodeLigne(ligne, numero_, autre_, Perdus);
    return true;
}

void EcritFichier(const std::string& fichier, const std::string& contenu)
{
    try {
        EcritFichierEntier(fichier, contenu);
    } catch (const ErreurFlux& e) {
        throw ErreurEchange(e.what());
    }
}

void Endommage(const std::string& fichier, std::size_t ligne, const std::string& raison)
{
    throw ErreurEchange(MessageEndommage(fichier, ligne, raison));
}

void RefuseOctetsDeControle(const std::string& fichier, std::size_t n, const std::string& ligne)
{
    const auto controle = std::find_if(ligne.begin(), ligne.end(), [](char o) {
        const auto c = static_cast<unsigned char>(o);
        return (c < 0x20 && c != '\t') || c == 0x7F;
    });
    if (controle == ligne.end())
        return;
    if (ligne.find('\0') != std::string::npos)
        Endommage(fichier, n, "des octets nuls y remplacent le texte (copie interrompue ?)");
    const auto c = static_cast<unsigned char>(*controle);
    const char* chiffres = "0123456789ABCDEF";
    Endommage(fichier, n,
              std::string("l'octet de contrôle 0x") + chiffres[c >> 4] + chiffres[c & 15] +
                  " n'a pas sa place dans un texte (fichier écrasé ?)");
}

void DecodeLigne(std::string& l, std::size_t n, char (*autre)(char), TextesPerdus& perdus)
{
    if (std::all_of(l.begin(), l.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return;
    if (!Utf8Valide(l)) {
        if (autre)
            std::transform(l.begin(), l.end(), l.begin(), autre);
        return;
    }
    perdus.Ajoute(Ligne(n, ""), l);
    l = Utf8VersCp1252(l);
}

bool CaracteresAcceptes(TRapportEchange& rapport, const TextesPerdus& perdus)
{
    if (perdus.Vide())
        return true;
    const bool une = perdus.Nombre() == 1;
    return rapport.CaracteresPerdus(
        std::string(une ? "Ce texte du fichier contient" : "Ces textes du fichier contiennent") +
        " des caractères que le massif ne peut pas garder :\r" + perdus.Liste(true) +
        "\rIls seront importés comme « ? ».");
}

void Adresse(TFiche& fiche, const std::string& cavite, const std::string& fichier, TextesPerdus& perdus)
{
    const std::string nom = std::filesystem::path(fichier).stem().string();
    if (Blanc(cavite) && !perdus.nomDuFichier && Utf8Valide(nom)) {
        perdus.Ajoute("Le nom du fichier : ", nom);
        perdus.nomDuFichier = true;
    }
    fiche.Cavite.Affecte(Blanc(cavite) ? ExterieurEnCp1252(nom) : cavite);
    for (TEco* partie : {&fiche.Systeme, &fiche.Reseau, &fiche.Lieu})
        if (Blanc(partie->Chaine()))
            partie->Copie(fiche.Cavite);
}

std::string CleStation(const std::string& nom, int indice)
{
    std::string cle(1, static_cast<char>(indice & 0xFF));
    cle += MajAscii(nom);
    return cle;
}

std::string CleStation(const TPointTopo& p) { return CleStation(p.Nom.Chaine(), p.Indice); }

Champs::Champs(const std::string& ligne)
{
    std::size_t debut = 0;
    for (;;) {
        const std::size_t tab = ligne.find('\t', debut);
        if (tab == std::string::npos) {
            champs_.emplace_back(ligne, debut);
            break;
        }
        champs_.emplace_back(ligne, debut, tab - debut);
        debut = tab + 1;
    }
}

const std::string& Champs::operator[](std::size_t i) const
{
    static const std::string vide;
    return i >= 1 && i <= champs_.size() ? champs_[i - 1] : vide;
}

bool Blanc(const std::string& texte) { return texte.find_first_not_of(" \t") == std::string::npos; }

std::string SansBlancs(const std::string& texte)
{
    const std::size_t d = texte.find_first_not_of(" \t");
    if (d == std::string::npos)
        return {};
    const std::size_t f = texte.find_last_not_of(" \t");
    return texte.substr(d, f - d + 1);
}

std::string Ligne(std::size_t n, const std::string& message)
{
    return "Ligne " + FormatEntier(static_cast<long long>(n)) + " : " + message;
}

long double Admise(long double valeur, std::size_t ligne, const std::string& quoi, long double diviseur)
{
    const long double stockee = valeur / diviseur;
    if (!MesureAdmise(stockee))
        throw ErreurEchange(Ligne(ligne, HorsBornes(quoi, valeur)));
    return stockee;
}

IndexIndices::IndexIndices(const TMassif& massif)
{
    auto note = [&](const TPointTopo& p) {
        if (!p.Terminus)
            pris_[p.Nom.ChaineMaj()].set(p.Indice);
    };
    for (const TFiche* f : massif.Fiches) {
        if (!f)
            continue;
        for (const TGalerie* g : f->Galeries) {
            note(g->Depart);
            note(g->Arrivee);
        }
    }
}

int IndexIndices::IndiceLibre(const std::string& nom, int depart) const
{
    int candidat = depart + 1;
    const auto it = pris_.find(MajAscii(nom));
    if (it == pris_.end())
        return candidat;
    while (candidat >= 0 && candidat <= kIndiceMax && it->second.test(static_cast<std::size_t>(candidat)))
        ++candidat;
    return candidat;
}

}  // namespace karst::echange
