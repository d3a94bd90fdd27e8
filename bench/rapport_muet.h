#pragma once
// The report of the benchmarks' imports: says nothing, keeps the '?' and the file's own
// declinations.

#include <string>

#include "exchange/echange.h"

namespace karst::banc {

class RapportMuet : public TRapportEchange {
public:
    void Statut(const std::string&) override {}
    void Message(const std::string&) override {}
    void Avertissement(const std::string&) override {}
    ChoixDeclinaison DeclinaisonNonReglee(const std::string&) override { return ChoixDeclinaison::Fichier; }
    bool CaracteresPerdus(const std::string&) override { return true; }
};

}  // namespace karst::banc
