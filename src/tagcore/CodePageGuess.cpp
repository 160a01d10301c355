#include "tagcore/CodePageGuess.h"
#include "tagcore/UiText.h"

#include "tagcore/TagFile.h"
#include "tagcore/Utf8.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <optional>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>
#include <uchardet/uchardet.h>

namespace veltrane {

namespace {

constexpr std::size_t kTagBytes = 128;

// Characters common in song titles: simplified and traditional Chinese, Japanese kanji. A
// wrong double-byte code page reads real text as rare characters, so hits here tell.
constexpr std::string_view kCommonHan =
    "的一是不了人我在有他这中大来上个国到说们为子和你地出道也时年得就那要下以生会自着去之过家学对"
    "可她里后小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前所本见经头面公同"
    "三已老从动两长知民样现分将外但身些与高意进把法此实回二理美点月明其种声全工己话儿者向情部正名定"
    "女问力机给等几很业最间新什打便位因重被走电四第门相次东海口使西再平真听世气信北少关并内加化由却"
    "代先山五太水万市眼体别处总才场师书比住九笑性通目华报立马命张活难神数件安表原车白应路期叫死常提"
    "感金何更反合放做系计或利受光王果亲界今京至物台记边共风战干它许八特觉望直服林题南度色字请交爱让"
    "算百吃元快条变言往展该近留红决周保达半候七必城父强步完深区即求品士转量空甚轻程告江语英满式李息"
    "写呢极令黄德收脸钱倒未持取始双越千片容像找友孩站早房音火首失拿香似石若兵弟谁读志飞观争喜离虽坐"
    "集宝谈拉黑且随格尽剑讲布杀微怕母根曾准团终乐切级精哪冷守梦雨泪伤念夜星雪春秋冬夏恋唱歌曲永远"
    "温柔幸福寂寞孤单忆故乡妈亮阳朋云灯影舞泪痛等待离别再见永恒天使恋人約束"
    "這個們為國說來時會對裡後麼經學發現樣兩長點實與還進動種將過開話機見問關聽幾氣電東愛歌夢淚傷戀遠"
    "溫單憶鄉媽陽風雲飛燈聲覺樂讓頭邊義書戰處萬無帶嗎應當錢轉隨著從沒於親記許題請紅決達強語滿寫極黃"
    "臉雙誰讀觀爭離雖寶談盡劍講殺準團級淚變難歲島藍綠優戲劇場麗結緣謝謊雲夢裏妳"
    "僕君桜涙約束願祈瞳翼扉輝奇跡絆唄踊恋愛夢声歌空花夜星月日風雨雪光手時世界未来明今道青春夏秋冬"
    "海色白黒赤永遠想思出記憶物語希望生命千本少女男気持私達魔法戦士神様彼桜";

// Hangul syllables common in song titles; a wrong code page reads Chinese text as rare ones.
constexpr std::string_view kCommonHangul =
    "사랑너나그의에는이가하고지리기도다마우아어오요해게서스시수세소보바비로라러르를을은인일있없내"
    "네날말만맘눈물별빛꽃꿈밤봄길곳거것같대데되된될들듯떠또때야여영와왜외운울음잊자잘장저전정제좋"
    "주중진처천추친한할함행향혼화희미민방백버번부불빠사산상새생선성손속순안않알앞애얼엔연올우리구"
    "까끝난남너내년노니님달당더돌동두뒤든디라랑래려렇력련렸령로록론루른름릴린립마막많매머면명모목무"
    "문바반받발밤배번벌법변병보복본봄부분비빠뻐뽀사살삶상생서석선설섬성세소속손송수숨쉬스슬습승시식"
    "신실심싶아안않알앗았애야약양어언얼엄업었에여역연열영예오온올와요용우운울웃워원월위유으은을음의"
    "이인일임입있잊자작잘잠장재저적전절점정제조좀종좋주준줄중즈지진질집짓차참창찾채처천철첫청체초최"
    "추축출춤충치친칠카커케코크키타태터텐토통투트특티파패퍼페포표푸프피하학한할함합항해했행향허헤현"
    "형호혼홀화환활황회후훨휘흐흔흘희히힘";

std::unordered_set<char32_t> MakeSet(std::string_view utf8) {
    std::unordered_set<char32_t> set;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        const std::size_t len = NextCodePoint(utf8, i, cp);
        if (len == 0) {
            ++i;
            continue;
        }
        set.insert(cp);
        i += len;
    }
    return set;
}

// A set of characters as a bit a character: looked up for every character of every
// double-byte reading.
class TCharBits {
  public:
    explicit TCharBits(std::string_view utf8) : bits_(0x10000) {
        for (const char32_t cp : MakeSet(utf8)) {
            if (cp < 0x10000)
                bits_[cp] = true;
            else
                beyond_.insert(cp);
        }
    }
    std::size_t count(char32_t cp) const { return cp < 0x10000 ? bits_[cp] : beyond_.count(cp); }

  private:
    std::vector<bool> bits_;
    std::unordered_set<char32_t> beyond_;
};

const TCharBits& CommonHan() {
    static const TCharBits set(kCommonHan);
    return set;
}
const TCharBits& CommonHangul() {
    static const TCharBits set(kCommonHangul);
    return set;
}

enum class TScript { kLatin, kCyrillic, kGreek, kHebrew, kArabic, kJapanese, kChineseS, kChineseT, kKorean };

struct TCandidate {
    const char* Name;
    TScript Script;
    // Letters (lower case) by how common they are in the languages of the page.
    std::string_view Common, Usual;
    const char* UchardetNames; // uchardet's answers that mean this page, ";"-separated
    double Prior;              // breaks ties: the page more collections use first
};

// clang-format off
const TCandidate kCandidates[] = {
    {"WINDOWS-1252", TScript::kLatin, "éèàçüöäñóáíúß", "âêôîûëïøåæœãõìòùÿ",
     ";WINDOWS-1252;ISO-8859-1;ISO-8859-15;", 0.06},
    {"WINDOWS-1251", TScript::kCyrillic, "оеаинтсрвлкм", "дпуяызьбгчйхжшю",
     ";WINDOWS-1251;KOI8-R;IBM866;MAC-CYRILLIC;ISO-8859-5;IBM855;", 0.05},
    {"WINDOWS-1250", TScript::kLatin, "ąęśćłżźńóčšžřěýáíéů", "ťďňőűöüäôľĺŕăâîşţđú",
     ";WINDOWS-1250;ISO-8859-2;MAC-CENTRALEUROPE;", 0.04},
    {"CP932", TScript::kJapanese, "", "", ";SHIFT_JIS;EUC-JP;ISO-2022-JP;", 0.03},
    {"CP936", TScript::kChineseS, "", "", ";GB18030;GB2312;HZ-GB-2312;", 0.03},
    {"CP950", TScript::kChineseT, "", "", ";BIG5;EUC-TW;", 0.02},
    {"CP949", TScript::kKorean, "", "", ";EUC-KR;UHC;ISO-2022-KR;JOHAB;", 0.02},
    {"WINDOWS-1253", TScript::kGreek, "αοιετσνυρκπμ", "λωηγδςθχφβάέήίόύώ",
     ";WINDOWS-1253;ISO-8859-7;", 0.01},
    {"WINDOWS-1254", TScript::kLatin, "çğışöüi", "âîûéä",
     ";WINDOWS-1254;ISO-8859-9;", 0.01},
    {"WINDOWS-1255", TScript::kHebrew, "יוהלאמרבתשנ", "עדכקחפסגזצטםןךףץ",
     ";WINDOWS-1255;ISO-8859-8;IBM862;", 0.0},
    {"WINDOWS-1256", TScript::kArabic, "اليمنوهرتبع", "دكسفقحجشصطزخضذثظغةىءأإآؤئ",
     ";WINDOWS-1256;ISO-8859-6;", 0.0},
};
// clang-format on

char32_t ToLower(char32_t c) {
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if (c == 0x130)
        return 'i';
    if (c == 0x178)
        return 0xFF;
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 37;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 63;
    if (c >= 0x100 && c <= 0x17F) {
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        if (oddUpper ? (c % 2 == 1) : (c % 2 == 0))
            return c + 1;
    }
    return c;
}

bool IsLetterOf(TScript s, char32_t c) {
    c = ToLower(c);
    switch (s) {
    case TScript::kLatin:
        return (c >= 0xDF && c <= 0xFF && c != 0xF7) || (c >= 0x100 && c <= 0x24F) || c == 'i';
    case TScript::kCyrillic:
        return c >= 0x430 && c <= 0x45F;
    case TScript::kGreek:
        return (c >= 0x3AC && c <= 0x3CE) || c == 0x390;
    case TScript::kHebrew:
        return c >= 0x5B0 && c <= 0x5EA;
    case TScript::kArabic:
        return (c >= 0x621 && c <= 0x652) || c == 0x67E || c == 0x686 || c == 0x698 ||
               c == 0x6A9 || c == 0x6AF || c == 0x6CC;
    default:
        return false;
    }
}

bool IsAnyLetter(char32_t c) {
    return (c < 0x80 && ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')) ||
           IsLetterOf(TScript::kLatin, c) || IsLetterOf(TScript::kCyrillic, c) ||
           IsLetterOf(TScript::kGreek, c);
}

bool IsUpper(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 0x80 && ToLower(c) != c); }

constexpr std::u32string_view kPunctuation = U"«»„“”‘’‚–—…•·°№´¡¿©®™";

// Each candidate's common and usual letters as code points, decoded once.
struct TLetterLists {
    std::u32string Common, Usual;
};

std::u32string Decoded(std::string_view list) {
    std::u32string out;
    for (std::size_t k = 0; k < list.size();) {
        char32_t cp = 0;
        const std::size_t len = NextCodePoint(list, k, cp);
        if (len == 0)
            break;
        out.push_back(cp);
        k += len;
    }
    return out;
}

const TLetterLists& LettersOf(const TCandidate& c) {
    static const std::vector<TLetterLists> lists = [] {
        std::vector<TLetterLists> all;
        for (const TCandidate& k : kCandidates)
            all.push_back({Decoded(k.Common), Decoded(k.Usual)});
        return all;
    }();
    return lists[static_cast<std::size_t>(&c - kCandidates)];
}

// The weight of one character above ASCII read in a single-byte page.
double SingleByteWeight(const TCandidate& c, char32_t cp) {
    if (IsLetterOf(c.Script, cp)) {
        const char32_t lower = ToLower(cp);
        const TLetterLists& letters = LettersOf(c);
        if (letters.Common.find(lower) != std::u32string::npos)
            return 3;
        if (letters.Usual.find(lower) != std::u32string::npos)
            return 2;
        return c.Script == TScript::kLatin ? 0.2 : 1.4;
    }
    if (kPunctuation.find(cp) != std::u32string_view::npos)
        return 0.3;
    if (IsAnyLetter(cp))
        return -1;
    return -2.5;
}

bool InRange(char32_t c, char32_t lo, char32_t hi) { return c >= lo && c <= hi; }

// The weight of one character read in a double-byte page; Bytes are its bytes there.
double DoubleByteWeight(const TCandidate& c, char32_t cp, std::string_view bytes) {
    const bool han = InRange(cp, 0x4E00, 0x9FFF);
    const bool common = han && CommonHan().count(cp) != 0;
    const bool kana = InRange(cp, 0x3041, 0x30FF);
    const bool punct = InRange(cp, 0x3000, 0x303F) || InRange(cp, 0xFF01, 0xFF5E) ||
                       kPunctuation.find(cp) != std::u32string_view::npos;
    const bool stars = cp == U'☆' || cp == U'★' || cp == U'♪' || cp == U'♡' || cp == U'・';
    const bool foreign = InRange(cp, 0x391, 0x45F) || InRange(cp, 0x2500, 0x257F);
    const unsigned lead = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]);
    const unsigned trail = bytes.size() > 1 ? static_cast<unsigned char>(bytes[1]) : 0;
    if (InRange(cp, 0xE000, 0xF8FF))
        return -3;
    switch (c.Script) {
    case TScript::kJapanese:
        if (kana)
            return 3;
        if (common)
            return 2.5;
        if (han)
            return lead <= 0x98 ? 0.6 : (lead <= 0xEA ? 0.15 : -1);
        if (InRange(cp, 0xFF61, 0xFF9F))
            return -0.7; // half-width katakana: one byte each, dense in misread text
        if (punct || stars)
            return 1;
        return foreign ? -1.5 : -0.5;
    case TScript::kChineseS:
        if (common)
            return 3;
        if (han)
            return lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 ? 0.5 : 0.05;
        if (punct)
            return 1;
        return kana || foreign ? -1.5 : -0.5;
    case TScript::kChineseT:
        if (common)
            return 3;
        if (han)
            return lead >= 0xA4 && lead <= 0xC6 ? 0.5 : 0.1;
        if (punct)
            return 1;
        return kana || foreign ? -1.5 : -0.5;
    case TScript::kKorean:
        if (InRange(cp, 0xAC00, 0xD7A3)) {
            if (CommonHangul().count(cp))
                return 3;
            return lead >= 0xB0 && lead <= 0xC8 && trail >= 0xA1 ? 0.8 : 0.05;
        }
        if (common)
            return 0.6;
        if (han)
            return 0.05;
        if (punct)
            return 1;
        return kana || foreign ? -1.5 : -0.5;
    default:
        return 0;
    }
}

bool IsDoubleByte(const TCandidate& c) {
    return c.Script == TScript::kJapanese || c.Script == TScript::kChineseS ||
           c.Script == TScript::kChineseT || c.Script == TScript::kKorean;
}

bool IsAscii(const std::vector<std::string>& fields) {
    for (const std::string& f : fields)
        for (const char c : f)
            if (static_cast<unsigned char>(c) >= 0x80)
                return false;
    return true;
}

const TagCodec& Utf8Codec() {
    static const TagCodec codec("UTF-8");
    return codec;
}

// Every field reads in Codec without a byte that is no character (a full field may end cut).
bool ReadsValidly(const std::vector<std::string>& fields, const TagCodec& codec) {
    for (const std::string& f : fields)
        if (!codec.ValidBytes(f, f.size() >= 28))
            return false;
    return true;
}

bool IsUtf8(const std::vector<std::string>& fields) { return ReadsValidly(fields, Utf8Codec()); }

// uchardet's answer for the fields together, upper case; "" when it has none.
std::string Uchardet(const std::vector<std::string>& fields) {
    struct TDeleter {
        void operator()(uchardet_t u) const { uchardet_delete(u); }
    };
    thread_local std::unique_ptr<std::remove_pointer_t<uchardet_t>, TDeleter> ud(uchardet_new());
    if (!ud)
        return {};
    uchardet_reset(ud.get());
    std::string all;
    for (const std::string& f : fields) {
        all += f;
        all += '\n';
    }
    if (uchardet_handle_data(ud.get(), all.data(), all.size()) != 0)
        return {};
    uchardet_data_end(ud.get());
    std::string name = uchardet_get_charset(ud.get());
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return name;
}

struct TRanked {
    const TCandidate* Candidate;
    double Score;
    std::string Text;
};

const TagCodec& CandidateCodec(const TCandidate& c) {
    static std::once_flag once;
    static std::vector<std::unique_ptr<TagCodec>> codecs;
    std::call_once(once, [] {
        for (const TCandidate& k : kCandidates)
            codecs.push_back(std::make_unique<TagCodec>(k.Name));
    });
    return *codecs[static_cast<std::size_t>(&c - kCandidates)];
}

constexpr std::size_t kCandidateCount = std::size(kCandidates);

// Scores are counted in hundredths: every weight is a whole number of them, so sums are exact.
using TPoints = std::int32_t;
constexpr TPoints Points(double Weight) {
    return static_cast<TPoints>(Weight * 100 + (Weight < 0 ? -0.5 : 0.5));
}

// What scoring needs of a byte read alone in one page, looked up instead of worked out for
// every character of every file.
enum : std::uint8_t { kHeld = 1, kLetter = 2, kUpper = 4, kScriptLetter = 8 };
struct TByteClass {
    std::int16_t Weight = 0; // above ASCII and held: the character's weight
    std::uint8_t Flags = 0;
};
constexpr std::int16_t kNoPair = INT16_MIN;     // the two bytes make no character
constexpr std::int16_t kUnheldPair = INT16_MIN + 1;

struct TScoreTable {
    std::array<TByteClass, 256> Single{};
    std::vector<std::int16_t> Pair; // double-byte: (lead - 0x80) << 8 | trail -> weight
};

const std::array<TScoreTable, kCandidateCount>& ScoreTables() {
    static const auto tables = [] {
        auto all = std::make_unique<std::array<TScoreTable, kCandidateCount>>();
        for (std::size_t k = 0; k < kCandidateCount; ++k) {
            const TCandidate& cand = kCandidates[k];
            const TagCodec& codec = CandidateCodec(cand);
            const bool dbcs = IsDoubleByte(cand);
            TScoreTable& t = (*all)[k];
            for (unsigned b = 0; b < 256; ++b) {
                const std::string one(1, static_cast<char>(b));
                std::size_t len = 1;
                bool held = true;
                const char32_t cp = b < 0x80 ? b : codec.CharAt(one, 0, len, held);
                TByteClass& e = t.Single[b];
                e.Flags = static_cast<std::uint8_t>((held ? kHeld : 0) | (IsAnyLetter(cp) ? kLetter : 0) |
                                                    (IsUpper(cp) ? kUpper : 0) |
                                                    (IsLetterOf(cand.Script, cp) ? kScriptLetter : 0));
                if (b >= 0x80 && held)
                    e.Weight = static_cast<std::int16_t>(
                        Points(dbcs ? DoubleByteWeight(cand, cp, one) : SingleByteWeight(cand, cp)));
            }
            if (!dbcs)
                continue;
            t.Pair.assign(0x8000, kNoPair);
            for (unsigned lead = 0x80; lead < 0x100; ++lead)
                for (unsigned trail = 0; trail < 0x100; ++trail) {
                    const std::string two = {static_cast<char>(lead), static_cast<char>(trail)};
                    std::size_t len = 0;
                    bool held = false;
                    const char32_t cp = codec.CharAt(two, 0, len, held);
                    if (len == 2)
                        t.Pair[(lead - 0x80) << 8 | trail] =
                            held ? static_cast<std::int16_t>(Points(DoubleByteWeight(cand, cp, two)))
                                 : kUnheldPair;
                }
        }
        return all;
    }();
    return *tables;
}

struct TScored {
    TPoints Total = 0;
    std::uint32_t High = 0; // characters above ASCII
    double PerChar() const { return High == 0 ? 0 : Total / 100.0 / High; }
    double Sum() const { return Total / 100.0; }
};

bool HasHigh(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// One field's score in one page: the weights of its characters above ASCII, less what
// misread text shows (a byte that is no character, case changing inside a word, a symbol
// between letters, words mixing scripts).
TScored ScoreField(std::string_view bytes, std::size_t k) {
    const TScoreTable& t = ScoreTables()[k];
    const TCandidate& cand = kCandidates[k];
    const std::size_t n = bytes.size();
    TScored s;
    // A lead byte cut off at the end of a full field is another program's cut.
    const bool full = n >= 28;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (!t.Pair.empty()) {
        for (std::size_t i = 0; i < n;) {
            const unsigned b = at(i);
            if (b < 0x80) {
                ++i;
                continue;
            }
            std::int16_t w = kNoPair;
            if (i + 1 < n)
                w = t.Pair[(b - 0x80) << 8 | at(i + 1)];
            if (w != kNoPair) {
                i += 2;
            } else {
                ++i;
                w = t.Single[b].Flags & kHeld ? t.Single[b].Weight : kUnheldPair;
            }
            if (w != kUnheldPair)
                s.Total += w, ++s.High;
            else if (!(full && i == n))
                s.Total -= Points(6), ++s.High;
        }
        return s;
    }
    const bool latin = cand.Script == TScript::kLatin;
    bool prevLetter = false, prevUpper = false, prevHigh = false;
    std::uint32_t wordLetters = 0, wordHigh = 0;
    bool wordAscii = false, wordScript = false;
    const auto endWord = [&] {
        if (latin && wordLetters >= 3 && wordHigh * 2 > wordLetters)
            s.Total -= static_cast<TPoints>(wordHigh) * Points(1.5);
        if (!latin && wordAscii && wordScript)
            s.Total -= Points(2);
        wordLetters = wordHigh = 0;
        wordAscii = wordScript = false;
    };
    for (std::size_t i = 0; i < n;) {
        const unsigned b = at(i++);
        const TByteClass& e = t.Single[b];
        const bool high = b >= 0x80;
        if (high) {
            ++s.High;
            if (!(e.Flags & kHeld)) {
                s.Total -= Points(6);
                prevLetter = false;
                endWord();
                continue;
            }
            s.Total += e.Weight;
        }
        const bool letter = e.Flags & kLetter;
        const bool upper = e.Flags & kUpper;
        if (letter) {
            if (prevLetter && upper && !prevUpper && (high || prevHigh))
                s.Total -= Points(3);
            ++wordLetters;
            if (high) {
                ++wordHigh;
                wordScript = wordScript || (e.Flags & kScriptLetter);
            } else {
                wordAscii = true;
            }
        } else {
            // A symbol between two letters is a misread letter.
            if (high && prevLetter && i < n && IsAnyLetter(at(i)))
                s.Total -= Points(2);
            endWord();
        }
        prevUpper = upper;
        prevHigh = high;
        prevLetter = letter;
    }
    endWord();
    return s;
}

// A field's scores in every page. Fields repeat from file to file (an album's artist and
// album title), so each reading thread keeps the last few it scored.
const std::array<TScored, kCandidateCount>& FieldScores(const std::string& field) {
    static const std::array<TScored, kCandidateCount> kNone{};
    if (!HasHigh(field))
        return kNone;
    thread_local std::unordered_map<std::string, std::array<TScored, kCandidateCount>> seen;
    if (const auto it = seen.find(field); it != seen.end())
        return it->second;
    if (seen.size() >= 256)
        seen.clear();
    std::array<TScored, kCandidateCount> scores;
    for (std::size_t k = 0; k < kCandidateCount; ++k)
        scores[k] = ScoreField(field, k);
    return seen.emplace(field, scores).first->second;
}

TScored ScoreIn(const std::vector<std::string>& fields, const TCandidate& cand) {
    const std::size_t k = static_cast<std::size_t>(&cand - kCandidates);
    TScored s;
    for (const std::string& f : fields) {
        const TScored& one = FieldScores(f)[k];
        s.Total += one.Total;
        s.High += one.High;
    }
    return s;
}

// True when the fields read as the same text in both pages (Decode of each is the same).
bool SameReading(const std::vector<std::string>& fields, const TagCodec& a, const TagCodec& b) {
    for (const std::string& f : fields) {
        std::size_t i = 0, j = 0;
        while (i < f.size() && j < f.size()) {
            std::size_t la = 1, lb = 1;
            bool held = false;
            if (a.CharAt(f, i, la, held) != b.CharAt(f, j, lb, held))
                return false;
            i += la;
            j += lb;
        }
        if (i != j)
            return false;
    }
    return true;
}

} // namespace

std::vector<std::string> RawTagFields(std::string_view Tail) {
    if (Tail.size() < kTagBytes)
        return {};
    const char* src = Tail.data() + (Tail.size() - kTagBytes);
    if (src[0] != 'T' || src[1] != 'A' || src[2] != 'G')
        return {};
    const bool v11 = src[125] == 0 && src[126] != 0;
    const auto field = [&](std::size_t offset, std::size_t width) {
        std::string f(src + offset, width);
        for (char& c : f)
            if (static_cast<unsigned char>(c) < 32)
                c = ' ';
        while (!f.empty() && f.back() == ' ')
            f.pop_back();
        return f;
    };
    return {field(3, 30), field(33, 30), field(63, 30), field(93, 4),
            field(97, v11 ? kCommentWidthWithTrack : 30)};
}

namespace {

// True when the text fields of the 128-byte tag at the end of Tail hold no byte above ASCII
// (or there is no tag): RawTagFields would be ASCII, without building them.
bool AsciiTail(std::string_view Tail) {
    if (Tail.size() < kTagBytes)
        return true;
    const char* src = Tail.data() + (Tail.size() - kTagBytes);
    const bool v11 = src[125] == 0 && src[126] != 0;
    const std::size_t end = v11 ? 97 + kCommentWidthWithTrack : 127;
    for (std::size_t i = 3; i < end; ++i)
        if (static_cast<unsigned char>(src[i]) >= 0x80)
            return false;
    return true;
}

} // namespace

const std::vector<std::string>& AutoCandidates() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const TCandidate& c : kCandidates)
            n.emplace_back(c.Name);
        return n;
    }();
    return names;
}

double CodePageScore(const std::vector<std::string>& Fields, const TagCodec& Codec) {
    for (const TCandidate& c : kCandidates)
        if (Codec.Name() == c.Name)
            return ScoreIn(Fields, c).PerChar();
    return Codec.ValidBytes(Fields.empty() ? std::string() : Fields[0]) ? 0 : -6;
}

namespace {

constexpr double kBonus = 0.6; // uchardet's opinion, for the page it names
constexpr double kEps = 1e-9;

// The text's scores in every candidate page, per character above ASCII.
struct TRawScores {
    double Raw[kCandidateCount] = {};
    std::size_t High = 0;
    std::size_t Best = 0;     // the page that reads the text best, uchardet aside
    double Next = -1e300;     // the score (with prior) of the best of the others
    double Score(std::size_t k) const { return Raw[k] + kCandidates[k].Prior; }
};

TRawScores RawScores(const std::vector<std::string>& Fields) {
    TRawScores r;
    for (std::size_t k = 0; k < kCandidateCount; ++k) {
        const TScored s = ScoreIn(Fields, kCandidates[k]);
        r.High = std::max<std::size_t>(r.High, s.High);
        r.Raw[k] = s.PerChar();
        if (r.Score(k) > r.Score(r.Best))
            r.Best = k;
    }
    for (std::size_t k = 0; k < kCandidateCount; ++k)
        if (k != r.Best)
            r.Next = std::max(r.Next, r.Score(k));
    return r;
}

// The guess when the scores decide it whatever uchardet says: the best page clear of every
// other even when that one gets the bonus, strong, and reading the text otherwise than any
// page the bonus could bring near it.
std::optional<TCodePageGuess> QuickGuess(const TRawScores& r, const std::vector<std::string>& Fields) {
    const std::size_t b = r.Best;
    const double best = r.Score(b);
    if (best < 1.5 || best - r.Next < 2 * kBonus + kEps ||
        r.High < (IsDoubleByte(kCandidates[b]) ? 2u : 3u))
        return std::nullopt;
    for (std::size_t k = 0; k < kCandidateCount; ++k)
        if (k != b && r.Score(k) + kBonus + kEps >= r.Next &&
            SameReading(Fields, CandidateCodec(kCandidates[k]), CandidateCodec(kCandidates[b])))
            return std::nullopt;
    return TCodePageGuess{CandidateCodec(kCandidates[b]).Id(), false, best};
}

// The guess with uchardet's opinion.
TCodePageGuess FullGuess(const TRawScores& r, const std::vector<std::string>& Fields) {
    const std::string opinion = Uchardet(Fields);
    std::vector<TRanked> ranked;
    for (std::size_t k = 0; k < kCandidateCount; ++k) {
        const TCandidate& c = kCandidates[k];
        double score = r.Raw[k];
        if (!opinion.empty() && std::string_view(c.UchardetNames).find(";" + opinion + ";") !=
                                    std::string_view::npos)
            score += kBonus;
        ranked.push_back({&c, score + c.Prior, {}});
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const TRanked& a, const TRanked& b) { return a.Score > b.Score; });
    const TRanked& best = ranked[0];
    const TRanked& second = ranked[1];
    const TagCodec& bestCodec = CandidateCodec(*best.Candidate);
    bool weak = best.Score < 1.5 || best.Score - second.Score < 0.6 ||
                r.High < (IsDoubleByte(*best.Candidate) ? 2u : 3u);
    // Another page that reads the same text is no evidence against this one, but no evidence
    // for it either.
    if (SameReading(Fields, bestCodec, CandidateCodec(*second.Candidate)))
        weak = true;
    return {bestCodec.Id(), weak, best.Score};
}

// Guesses as GuessCodePage does. With NeedScore false, a guess that is not weak may carry
// another score: uchardet is then asked only when its opinion could change the choice or
// make it weak (its bonus goes to one code page at most).
TCodePageGuess Guess(const std::vector<std::string>& Fields, bool NeedScore) {
    if (IsAscii(Fields))
        return {};
    if (IsUtf8(Fields))
        return {Utf8Codec().Id(), false, 3};
    const TRawScores r = RawScores(Fields);
    if (!NeedScore)
        if (const std::optional<TCodePageGuess> quick = QuickGuess(r, Fields))
            return *quick;
    return FullGuess(r, Fields);
}

} // namespace

TCodePageGuess GuessCodePage(const std::vector<std::string>& Fields) { return Guess(Fields, true); }

TCodePageId MatchUnicodeTitles(const std::vector<std::string>& Fields, const TUnicodeTitles& V2) {
    if (Fields.size() < 2)
        return 0;
    const auto trim = [](std::string s) {
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        return s;
    };
    const std::string titles[2] = {trim(V2.Title), trim(V2.Artist)};
    TCodePageId found = 0;
    double foundScore = -1e9;
    for (const TCandidate& c : kCandidates) {
        const TagCodec& codec = CandidateCodec(c);
        bool any = false, all = true;
        for (int k = 0; k < 2; ++k) {
            const std::string& raw = Fields[static_cast<std::size_t>(k)];
            if (IsAscii({raw}) || titles[k].empty())
                continue;
            std::string dec = codec.Decode(raw);
            bool same = dec == titles[k];
            if (!same && raw.size() >= 28) {
                // Cut to 30 bytes, perhaps inside a character by the program that wrote it.
                std::string shorter = codec.Decode(raw.substr(0, raw.size() - 1));
                same = titles[k].rfind(dec, 0) == 0 || (!shorter.empty() && titles[k].rfind(shorter, 0) == 0 &&
                                                        !codec.ValidBytes(raw));
            }
            any = any || same;
            all = all && same;
        }
        if (any && all) {
            const double score = ScoreIn(Fields, c).Sum();
            if (found == 0 || score > foundScore)
                found = codec.Id(), foundScore = score;
        }
    }
    return found;
}

void TCodePageResolver::SetRunFiles(const std::vector<std::string>& Paths) {
    std::lock_guard<std::mutex> guard(lock_);
    runFiles_.clear();
    folders_.clear();
    judgedAhead_.clear();
    for (const std::string& p : Paths) {
        const std::size_t slash = p.rfind('/');
        runFiles_[slash == std::string::npos ? std::string() : p.substr(0, slash + 1)].push_back(p);
    }
}

void TCodePageResolver::SetRunFolder(TRunFolder Lookup) {
    std::lock_guard<std::mutex> guard(lock_);
    runFiles_.clear();
    folders_.clear();
    judgedAhead_.clear();
    runFolder_ = std::move(Lookup);
}

void TCodePageResolver::EndRun() {
    std::lock_guard<std::mutex> guard(lock_);
    runFiles_.clear();
    runFolder_ = nullptr;
    decided_.clear();
    judgedAhead_.clear();
}

TCodePageResolver::TOwn TCodePageResolver::JudgeQuick(const std::string& Path,
                                                      const std::vector<std::string>& Fields,
                                                      int File) const {
    if (IsAscii(Fields))
        return {};
    if (IsUtf8(Fields))
        return {{Utf8Codec().Id(), false, 3}};
    if (hint_) {
        if (const std::optional<TUnicodeTitles> v2 = hint_(Path, File))
            if (const TCodePageId id = MatchUnicodeTitles(Fields, *v2))
                return {{id, false, 3}};
    }
    const TRawScores r = RawScores(Fields);
    if (const std::optional<TCodePageGuess> quick = QuickGuess(r, Fields))
        return {*quick};
    const bool clear = r.Score(r.Best) > r.Next + kEps;
    return {{clear ? CandidateCodec(kCandidates[r.Best]).Id() : TCodePageId{0}, true, 0}, true};
}

TCodePageGuess TCodePageResolver::Judge(const std::string& Path,
                                        const std::vector<std::string>& Fields, int File) const {
    const TOwn own = JudgeQuick(Path, Fields, File);
    // The score of a guess that is not weak is not used here.
    return own.Unclear ? FullGuess(RawScores(Fields), Fields) : own.Guess;
}

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool EndsWithMp3(const std::string& name) {
    if (name.size() < 4)
        return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return ext == ".mp3";
}

std::vector<std::string> Mp3FilesOnDisk(const std::string& folder) {
    std::vector<std::string> paths;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return paths;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (EndsWithMp3(name) && (e->d_type == DT_REG || e->d_type == DT_UNKNOWN))
            paths.push_back(folder + name);
    }
    ::closedir(dir);
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The file's last 128 bytes ("" when it cannot be read), and the file left open in Open.
std::string ReadTail(const std::string& path, TTagOpen& Open) {
    try {
        TTagOpen opened = OpenForTag(path, 0);
        Open.File.reset(opened.File.release());
        Open.Size = opened.Size;
        Open.ReadTail = opened.ReadTail;
        if (!Open.ReadTail)
            return {};
        std::string tail(kTagBytes, '\0');
        const ssize_t got = ::pread(Open.File.get(), tail.data(), kTagBytes,
                                    static_cast<off_t>(Open.Size - kTagBytes));
        return got == static_cast<ssize_t>(kTagBytes) ? tail : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

TCodePageId TCodePageResolver::FolderOpinion(const std::string& Folder, const std::string& Asking) {
    std::unique_lock<std::mutex> guard(lock_);
    // One thread judges a folder; one that needs it meanwhile waits for its opinion. The
    // others read on.
    for (;;) {
        const auto it = folders_.find(Folder);
        if (it == folders_.end())
            break;
        if (it->second >= 0)
            return static_cast<TCodePageId>(it->second);
        folderJudged_.wait(guard);
    }
    folders_[Folder] = -1;
    std::vector<std::string> paths;
    // A folder the run names no file of was named itself: its files on disk are the run's.
    std::optional<std::vector<std::string>> named;
    bool onDisk = false;
    if (const auto it = runFiles_.find(Folder); it != runFiles_.end())
        paths = it->second;
    else if (runFolder_ && (named = runFolder_(Folder)))
        paths = std::move(*named);
    else
        onDisk = true;
    guard.unlock();
    TCodePageId opinion = 0;
    try {
        if (onDisk)
            paths = Mp3FilesOnDisk(Folder);
        // Files whose own evidence decides vote each; the text of the others, pooled, is
        // judged once (more text than one tag's tells more) and votes for all of them.
        std::map<TCodePageId, std::size_t> votes;
        std::vector<std::string> pooled;
        std::size_t unclear = 0;
        std::vector<std::pair<std::string, TJudged>> ahead;
        for (const std::string& p : paths) {
            TTagOpen open;
            std::vector<std::string> fields = RawTagFields(ReadTail(p, open));
            if (fields.empty() || IsAscii(fields))
                continue;
            const TOwn own = JudgeQuick(p, fields, open.File.get());
            if (!own.Unclear) {
                ++votes[own.Guess.CodePage];
            } else {
                ++unclear;
                for (const std::string& f : fields)
                    if (!f.empty())
                        pooled.push_back(f);
            }
            ahead.push_back({p, {std::move(fields), own}});
        }
        if (!pooled.empty()) {
            const TCodePageGuess g = GuessCodePage(pooled);
            if (!g.Weak || g.Score >= 1.5)
                votes[g.CodePage] += unclear;
        }
        std::size_t most = 0;
        for (const auto& [id, count] : votes)
            if (count > most)
                opinion = id, most = count;
        guard.lock();
        // Only files still to be read, those after the asking one: one read already may have
        // changed since, and would keep its entry.
        bool after = std::find(paths.begin(), paths.end(), Asking) == paths.end();
        for (auto& [path, judged] : ahead) {
            if (after && decided_.count(path) == 0)
                judgedAhead_.insert_or_assign(std::move(path), std::move(judged));
            after = after || path == Asking;
        }
    } catch (...) {
        if (!guard.owns_lock())
            guard.lock();
        folders_.erase(Folder);
        folderJudged_.notify_all();
        throw;
    }
    folders_[Folder] = opinion;
    folderJudged_.notify_all();
    return opinion;
}

TCodePageResolver::TOwn TCodePageResolver::OwnGuess(const std::string& Path,
                                                    const std::vector<std::string>& Fields,
                                                    int File) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (const auto it = judgedAhead_.find(Path); it != judgedAhead_.end()) {
            const bool same = it->second.Fields == Fields;
            const TOwn own = it->second.Own;
            judgedAhead_.erase(it);
            if (same)
                return own;
        }
    }
    return JudgeQuick(Path, Fields, File);
}

TCodePageId TCodePageResolver::KnownOpinion(const std::string& Folder) const {
    std::lock_guard<std::mutex> guard(lock_);
    const auto it = folders_.find(Folder);
    return it == folders_.end() || it->second < 0 ? 0 : static_cast<TCodePageId>(it->second);
}

TCodePageId TCodePageResolver::Decide(const std::string& Path, std::string_view Tail, int File) {
    const TCodePageId id = DecideOnce(Path, Tail, File);
    if (id != 0 && keepDecided_) {
        std::lock_guard<std::mutex> guard(lock_);
        decided_[Path] = id;
    }
    return id;
}

TCodePageId TCodePageResolver::Decided(const std::string& Path) const {
    std::lock_guard<std::mutex> guard(lock_);
    const auto it = decided_.find(Path);
    return it == decided_.end() ? 0 : it->second;
}

TCodePageId TCodePageResolver::DecideOnce(const std::string& Path, std::string_view Tail, int File) {
    if (AsciiTail(Tail))
        return 0;
    const std::vector<std::string> fields = RawTagFields(Tail);
    if (fields.empty())
        return 0;
    const TOwn quick = OwnGuess(Path, fields, File);
    TCodePageGuess own = quick.Guess;
    if (quick.Unclear) {
        // A folder whose opinion is the page the text reads best in settles it: uchardet could
        // only make the file's own guess weak or bring another page near it, and a weak guess
        // takes that page from its folder.
        if (own.CodePage != 0 && KnownOpinion(FolderOf(Path)) == own.CodePage &&
            ReadsValidly(fields, TagCodec::ById(own.CodePage)))
            return own.CodePage;
        own = FullGuess(RawScores(fields), fields);
    }
    if (own.CodePage == 0 || !own.Weak)
        return own.CodePage;
    const TCodePageId folder = FolderOpinion(FolderOf(Path), Path);
    if (folder == 0 || folder == own.CodePage)
        return own.CodePage;
    const TagCodec& codec = TagCodec::ById(folder);
    if (!ReadsValidly(fields, codec) || CodePageScore(fields, codec) < own.Score - 1.5)
        return own.CodePage;
    return folder;
}

std::string LocaleCodePage(const char* LcAll, const char* LcCtype, const char* Lang) {
    const char* set = nullptr;
    for (const char* v : {LcAll, LcCtype, Lang})
        if (v && *v) {
            set = v;
            break;
        }
    if (!set)
        return "WINDOWS-1252";
    const std::string locale = set;
    const std::size_t langEnd = locale.find_first_of("_.@");
    std::string lang = locale.substr(0, langEnd);
    for (char& c : lang)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    std::string territory;
    if (langEnd != std::string::npos && locale[langEnd] == '_') {
        const std::size_t end = locale.find_first_of(".@", langEnd);
        territory = locale.substr(langEnd + 1, end == std::string::npos ? end : end - langEnd - 1);
        for (char& c : territory)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
    }
    struct TEntry {
        const char* Languages;
        const char* CodePage;
    };
    static const TEntry kTable[] = {
        {" ru uk be bg sr mk ", "WINDOWS-1251"},
        {" ja ", "CP932"},
        {" ko ", "CP949"},
        {" pl cs sk hu sl hr ro sq bs ", "WINDOWS-1250"},
        {" el ", "WINDOWS-1253"},
        {" tr az ", "WINDOWS-1254"},
        {" he ", "WINDOWS-1255"},
        {" ar fa ur ", "WINDOWS-1256"},
        {" et lv lt ", "WINDOWS-1257"},
        {" vi ", "WINDOWS-1258"},
        {" th ", "CP874"},
    };
    if (lang == "zh") {
        if (territory == "TW" || territory == "HK" || territory == "MO")
            return "CP950";
        return "CP936";
    }
    if (!lang.empty())
        for (const TEntry& e : kTable)
            if (std::string_view(e.Languages).find(" " + lang + " ") != std::string_view::npos)
                return e.CodePage;
    return "WINDOWS-1252";
}

std::string SystemCodePage() {
    return LocaleCodePage(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG"));
}

const std::vector<std::pair<std::string, std::string>>& NamedCodePages() {
    static const std::vector<std::pair<std::string, std::string>> pages = {
        {"WINDOWS-1256", VT_TRANSLATE_NOOP("CodePageChoice", "Arabic (Windows-1256)")},
        {"WINDOWS-1257", VT_TRANSLATE_NOOP("CodePageChoice", "Baltic (Windows-1257)")},
        {"WINDOWS-1250", VT_TRANSLATE_NOOP("CodePageChoice", "Central European (Windows-1250)")},
        {"ISO-8859-2", VT_TRANSLATE_NOOP("CodePageChoice", "Central European (ISO-8859-2)")},
        {"CP936", VT_TRANSLATE_NOOP("CodePageChoice", "Chinese Simplified (GBK)")},
        {"CP950", VT_TRANSLATE_NOOP("CodePageChoice", "Chinese Traditional (Big5)")},
        {"WINDOWS-1251", VT_TRANSLATE_NOOP("CodePageChoice", "Cyrillic (Windows-1251)")},
        {"KOI8-R", VT_TRANSLATE_NOOP("CodePageChoice", "Cyrillic (KOI8-R)")},
        {"KOI8-U", VT_TRANSLATE_NOOP("CodePageChoice", "Cyrillic (KOI8-U)")},
        {"CP866", VT_TRANSLATE_NOOP("CodePageChoice", "Cyrillic (DOS 866)")},
        {"WINDOWS-1253", VT_TRANSLATE_NOOP("CodePageChoice", "Greek (Windows-1253)")},
        {"WINDOWS-1255", VT_TRANSLATE_NOOP("CodePageChoice", "Hebrew (Windows-1255)")},
        {"CP932", VT_TRANSLATE_NOOP("CodePageChoice", "Japanese (Shift_JIS)")},
        {"CP949", VT_TRANSLATE_NOOP("CodePageChoice", "Korean (UHC)")},
        {"CP874", VT_TRANSLATE_NOOP("CodePageChoice", "Thai (Windows-874)")},
        {"WINDOWS-1254", VT_TRANSLATE_NOOP("CodePageChoice", "Turkish (Windows-1254)")},
        {"UTF-8", VT_TRANSLATE_NOOP("CodePageChoice", "Unicode (UTF-8)")},
        {"WINDOWS-1258", VT_TRANSLATE_NOOP("CodePageChoice", "Vietnamese (Windows-1258)")},
        {"WINDOWS-1252", VT_TRANSLATE_NOOP("CodePageChoice", "Western European (Windows-1252)")},
        {"ISO-8859-1", VT_TRANSLATE_NOOP("CodePageChoice", "Western European (ISO-8859-1)")},
        {"ISO-8859-15", VT_TRANSLATE_NOOP("CodePageChoice", "Western European (ISO-8859-15)")},
    };
    return pages;
}

std::string CodePageCaption(std::string_view Name) {
    for (const auto& [name, caption] : NamedCodePages())
        if (name == Name)
            return caption;
    return std::string(Name);
}

std::string FolderLooksLike(const std::vector<std::vector<std::string>>& Files,
                            const TagCodec& Fixed) {
    std::map<TCodePageId, std::size_t> better;
    std::size_t high = 0;
    for (const std::vector<std::string>& fields : Files) {
        if (fields.empty() || IsAscii(fields))
            continue;
        ++high;
        const TCodePageGuess g = GuessCodePage(fields);
        if (g.CodePage == 0 || g.CodePage == Fixed.Id() || g.Weak)
            continue;
        if (g.Score - CodePageScore(fields, Fixed) >= 1.5)
            ++better[g.CodePage];
    }
    for (const auto& [id, count] : better)
        if (count * 2 > high)
            return TagCodec::ById(id).Name();
    return {};
}

} // namespace veltrane
