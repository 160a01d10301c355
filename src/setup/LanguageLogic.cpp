#include "setup/LanguageLogic.h"

#include "setup/SetupTexts.h"

#include <algorithm>

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

bool TSetupLanguage::SetDefaultLanguage(const std::string& Name) {
    if (Name != "(compiled)" && SetupInfo) {
        const auto& List = SetupInfo->LanguageList;
        if (std::find(List.begin(), List.end(), Name) == List.end()) {
            SetupInfo->MessageBox("The language " + Name + " is not in the list of available languages.",
                                  mtInformation, mbOK);
            return false;
        }
    }
    DefaultLanguage_ = Name;
    return true;
}

TLanguageOffer TSetupLanguage::Offer() const {
    const char* BuiltIn = BuiltInText(0);
    return OfferLanguages(SetupInfo->LanguageList, ShowLanguages, DefaultLanguage_, BuiltIn ? BuiltIn : "English");
}

void TSetupLanguage::ShowPage() {
    Shown_ = Offer();
    // The page's own texts already show in the preselected language.
    if (!Shown_.Offered.empty() && Shown_.Preselected != SetupInfo->Language)
        SetupInfo->SetLanguage(Shown_.Preselected);
    TSetupPage::ShowPage();
    View().ShowLanguages(Shown_.Offered, Shown_.Checked);
    View().ShowNotebookPage(npSelectLanguage);
    View().Report("Language: " + SetupInfo->Language);
}

int TSetupLanguage::StartPage() {
    if (Shown_.Offered.empty()) {
        PageResult = prDone;
        GoNext();
    }
    return 0;
}

void TSetupLanguage::GoNext() {
    if (!Shown_.Offered.empty()) {
        const int Checked = View().CheckedLanguage(Shown_.Checked);
        if (Checked >= 0 && static_cast<std::size_t>(Checked) < Shown_.Offered.size() &&
            Shown_.Offered[static_cast<std::size_t>(Checked)] != SetupInfo->Language)
            SetupInfo->SetLanguage(Shown_.Offered[static_cast<std::size_t>(Checked)]);
    }
    TSetupPage::GoNext();
}

void TSetupLanguage::SetupLinked() {
    if (DefaultLanguage_.empty())
        DefaultLanguage_ = SetupInfo->Language;
}

} // namespace veltrane
