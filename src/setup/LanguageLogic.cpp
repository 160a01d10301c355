#include "setup/LanguageLogic.h"

namespace veltrane {

TLanguageOffer OfferLanguages(const std::vector<std::string>& LanguageList, TShowLanguages Show,
                              const std::string& DefaultLanguage, const std::string& BuiltInName) {
    TLanguageOffer offer;
    for (const std::string& name : LanguageList) {
        bool hidden = false;
        for (int m = 0; m < 9; ++m)
            if (name == kLanguageMemberNames[m] && !(Show & (1u << m)))
                hidden = true;
        if (!hidden)
            offer.Offered.push_back(name);
    }
    if (offer.Offered.empty())
        return offer;
    offer.Preselected = DefaultLanguage == "(compiled)" ? BuiltInName : DefaultLanguage;
    offer.Checked = 0;
    for (std::size_t i = 0; i < offer.Offered.size(); ++i)
        if (offer.Offered[i] == offer.Preselected)
            offer.Checked = static_cast<int>(i);
    offer.Preselected = offer.Offered[static_cast<std::size_t>(offer.Checked)];
    return offer;
}

} // namespace veltrane
