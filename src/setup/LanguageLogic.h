#pragma once
// The language page beneath its window: which names it offers and which one is checked.

#include "setup/SetupInfo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane {

// The members of ShowLanguages, in the order of the names below.
enum TLanguageMember : std::uint8_t {
    laEnglish, laCompiled, laFrench, laDutch, laNorwegian, laItalian, laSpanish, laGerman,
    laHungarian
};
inline constexpr const char* kLanguageMemberNames[] = {
    "English", "(compiled)", "Français", "Dutch", "Norwegian", "Italiano", "Español", "Deutsch",
    "Hungarian"};
using TShowLanguages = std::uint16_t; // bit n = member n
inline constexpr TShowLanguages kDefaultShowLanguages = 0x7f; // the first seven

struct TLanguageOffer {
    std::vector<std::string> Offered;
    int Checked = -1; // index into Offered; -1 when nothing is offered
    std::string Preselected;
};

// The language list minus each of the nine names whose member is not shown; the preselected
// name is DefaultLanguage ("(compiled)" stands for BuiltInName, text 0 of the built-in texts),
// else the first offered name.
TLanguageOffer OfferLanguages(const std::vector<std::string>& LanguageList, TShowLanguages Show,
                              const std::string& DefaultLanguage, const std::string& BuiltInName);

// The language page: the installer's texts switch to the checked language on Next.
class TSetupLanguage : public TSetupPage {
  public:
    using TSetupPage::TSetupPage;
    TShowLanguages ShowLanguages = kDefaultShowLanguages;
    const std::string& DefaultLanguage() const { return DefaultLanguage_; }
    // A name missing from the language list is refused with a notice ("(compiled)" is always
    // taken); returns whether it was taken.
    bool SetDefaultLanguage(const std::string& Name);
    // What the page offers now.
    TLanguageOffer Offer() const;

    void ShowPage() override;
    int StartPage() override;
    void GoNext() override;
    TPageKind Kind() const override { return TPageKind::Language; }
    void SetupLinked() override;

  private:
    std::string DefaultLanguage_;
    TLanguageOffer Shown_;
};

} // namespace veltrane
