#include "audio/numberedpinyin.h"

#include "audio/soundname.h"

#include <array>
#include <limits>
#include <vector>

namespace wordlark {
namespace {

// Every Mandarin syllable as written in pinyin without tone, with v for ü.
// clang-format off
constexpr const char16_t *kSyllables[] = {
    u"a", u"ai", u"an", u"ang", u"ao", u"e", u"ei", u"en", u"eng", u"er", u"o", u"ou",
    u"ba", u"bai", u"ban", u"bang", u"bao", u"bei", u"ben", u"beng", u"bi", u"bian", u"biao", u"bie", u"bin",
    u"bing", u"bo", u"bu",
    u"pa", u"pai", u"pan", u"pang", u"pao", u"pei", u"pen", u"peng", u"pi", u"pian", u"piao", u"pie", u"pin",
    u"ping", u"po", u"pou", u"pu",
    u"ma", u"mai", u"man", u"mang", u"mao", u"me", u"mei", u"men", u"meng", u"mi", u"mian", u"miao", u"mie",
    u"min", u"ming", u"miu", u"mo", u"mou", u"mu",
    u"fa", u"fan", u"fang", u"fei", u"fen", u"feng", u"fo", u"fou", u"fu",
    u"da", u"dai", u"dan", u"dang", u"dao", u"de", u"dei", u"den", u"deng", u"di", u"dia", u"dian", u"diao",
    u"die", u"ding", u"diu", u"dong", u"dou", u"du", u"duan", u"dui", u"dun", u"duo",
    u"ta", u"tai", u"tan", u"tang", u"tao", u"te", u"tei", u"teng", u"ti", u"tian", u"tiao", u"tie", u"ting",
    u"tong", u"tou", u"tu", u"tuan", u"tui", u"tun", u"tuo",
    u"na", u"nai", u"nan", u"nang", u"nao", u"ne", u"nei", u"nen", u"neng", u"ni", u"nian", u"niang", u"niao",
    u"nie", u"nin", u"ning", u"niu", u"nong", u"nou", u"nu", u"nuan", u"nun", u"nuo", u"nv", u"nve", u"nue",
    u"la", u"lai", u"lan", u"lang", u"lao", u"le", u"lei", u"leng", u"li", u"lia", u"lian", u"liang", u"liao",
    u"lie", u"lin", u"ling", u"liu", u"lo", u"long", u"lou", u"lu", u"luan", u"lun", u"luo", u"lv", u"lve",
    u"lue",
    u"ga", u"gai", u"gan", u"gang", u"gao", u"ge", u"gei", u"gen", u"geng", u"gong", u"gou", u"gu", u"gua",
    u"guai", u"guan", u"guang", u"gui", u"gun", u"guo",
    u"ka", u"kai", u"kan", u"kang", u"kao", u"ke", u"kei", u"ken", u"keng", u"kong", u"kou", u"ku", u"kua",
    u"kuai", u"kuan", u"kuang", u"kui", u"kun", u"kuo",
    u"ha", u"hai", u"han", u"hang", u"hao", u"he", u"hei", u"hen", u"heng", u"hong", u"hou", u"hu", u"hua",
    u"huai", u"huan", u"huang", u"hui", u"hun", u"huo",
    u"ji", u"jia", u"jian", u"jiang", u"jiao", u"jie", u"jin", u"jing", u"jiong", u"jiu", u"ju", u"juan",
    u"jue", u"jun",
    u"qi", u"qia", u"qian", u"qiang", u"qiao", u"qie", u"qin", u"qing", u"qiong", u"qiu", u"qu", u"quan",
    u"que", u"qun",
    u"xi", u"xia", u"xian", u"xiang", u"xiao", u"xie", u"xin", u"xing", u"xiong", u"xiu", u"xu", u"xuan",
    u"xue", u"xun",
    u"zha", u"zhai", u"zhan", u"zhang", u"zhao", u"zhe", u"zhei", u"zhen", u"zheng", u"zhi", u"zhong",
    u"zhou", u"zhu", u"zhua", u"zhuai", u"zhuan", u"zhuang", u"zhui", u"zhun", u"zhuo",
    u"cha", u"chai", u"chan", u"chang", u"chao", u"che", u"chen", u"cheng", u"chi", u"chong", u"chou", u"chu",
    u"chua", u"chuai", u"chuan", u"chuang", u"chui", u"chun", u"chuo",
    u"sha", u"shai", u"shan", u"shang", u"shao", u"she", u"shei", u"shen", u"sheng", u"shi", u"shou", u"shu",
    u"shua", u"shuai", u"shuan", u"shuang", u"shui", u"shun", u"shuo",
    u"ran", u"rang", u"rao", u"re", u"ren", u"reng", u"ri", u"rong", u"rou", u"ru", u"rua", u"ruan", u"rui",
    u"run", u"ruo",
    u"za", u"zai", u"zan", u"zang", u"zao", u"ze", u"zei", u"zen", u"zeng", u"zi", u"zong", u"zou", u"zu",
    u"zuan", u"zui", u"zun", u"zuo",
    u"ca", u"cai", u"can", u"cang", u"cao", u"ce", u"cen", u"ceng", u"ci", u"cong", u"cou", u"cu", u"cuan",
    u"cui", u"cun", u"cuo",
    u"sa", u"sai", u"san", u"sang", u"sao", u"se", u"sen", u"seng", u"si", u"song", u"sou", u"su", u"suan",
    u"sui", u"sun", u"suo",
    u"ya", u"yan", u"yang", u"yao", u"ye", u"yi", u"yin", u"ying", u"yo", u"yong", u"you", u"yu", u"yuan",
    u"yue", u"yun",
    u"wa", u"wai", u"wan", u"wang", u"wei", u"wen", u"weng", u"wo", u"wu",
};
// clang-format on

// Syllabic nasals of interjections (嗯 ńg, 呣 ḿ, 哼 hng); inside a longer word they are almost always a
// misreading of the letters around them.
constexpr const char16_t *kInterjections[] = {u"m", u"n", u"ng", u"hm", u"hng"};

constexpr qsizetype kLongestSyllable = 7; // "zhuangr"

// Penalties that choose between the ways of cutting one run of letters.
constexpr int kVowelStartCost = 100; // pinyin writes an apostrophe before such a syllable inside a word
constexpr int kLoneRCost = 50;       // an r is rather the ending of the syllable before it
constexpr int kInterjectionCost = 50;

struct Letter {
    char16_t plain;
    int tone; // 0 for no mark
};

struct Run {
    std::vector<Letter> letters;
    int trailingTone = 0; // a digit written right behind the run
};

// The syllables spelt backwards as a tree of letters. Cutting a run tries every substring that ends at a
// given letter, growing it leftwards; walking the tree the same way looks each one up in a step and stops
// as soon as no syllable ends in the letters taken so far.
class Syllabary {
public:
    static constexpr int kRoot = 0;
    static constexpr int kNone = -1;

    Syllabary()
    {
        m_nodes.emplace_back();
        for (const char16_t *s : kSyllables) {
            const QString syllable = QString::fromUtf16(s);
            add(syllable, &Node::syllable);
            if (syllable != QStringLiteral("er"))
                add(syllable + u'r', &Node::syllable);
        }
        add(QStringLiteral("r"), &Node::syllable); // an erhua ending written apart: "yī huì r"
        for (const char16_t *s : kInterjections)
            add(QString::fromUtf16(s), &Node::interjection);
    }

    // The node for one more letter to the left, or kNone when no syllable ends like that.
    int step(int node, char16_t letter) const { return m_nodes[size_t(node)].next[index(letter)]; }
    bool isSyllable(int node) const { return m_nodes[size_t(node)].syllable; }
    bool isInterjection(int node) const { return m_nodes[size_t(node)].interjection; }

private:
    struct Node {
        std::array<qint16, 26> next;
        bool syllable = false;
        bool interjection = false;
        Node() { next.fill(kNone); }
    };

    static size_t index(char16_t letter) { return size_t(letter - u'a'); }

    void add(QStringView text, bool Node::*kind)
    {
        int node = kRoot;
        for (qsizetype i = text.size() - 1; i >= 0; --i) {
            const size_t letter = index(text[i].unicode());
            if (m_nodes[size_t(node)].next[letter] == kNone) {
                m_nodes[size_t(node)].next[letter] = qint16(m_nodes.size());
                m_nodes.emplace_back();
            }
            node = m_nodes[size_t(node)].next[letter];
        }
        m_nodes[size_t(node)].*kind = true;
    }

    std::vector<Node> m_nodes;
};

const Syllabary &syllabary()
{
    static const Syllabary instance;
    return instance;
}

// Letters that are pinyin but not in the tone table: the syllabic nasals with tone marks and ê.
bool nasalOrEhat(QChar c, Letter *letter)
{
    switch (c.unicode()) {
    case u'ḿ':
    case u'Ḿ':
        *letter = {u'm', 2};
        return true;
    case u'ń':
    case u'Ń':
        *letter = {u'n', 2};
        return true;
    case u'ň':
    case u'Ň':
        *letter = {u'n', 3};
        return true;
    case u'ǹ':
    case u'Ǹ':
        *letter = {u'n', 4};
        return true;
    case u'ê':
    case u'Ê':
        *letter = {u'e', 0};
        return true;
    default:
        return false;
    }
}

std::vector<Run> splitIntoRuns(QStringView toned)
{
    std::vector<Run> runs;
    Run current;
    const auto finish = [&] {
        if (!current.letters.empty())
            runs.push_back(std::move(current));
        current = {};
    };
    const QString text = toned.toString().normalized(QString::NormalizationForm_C);
    for (const QChar c : text) {
        Letter letter{};
        if (const ToneLookup hit = FindTone(c); hit.found) {
            current.letters.push_back({hit.plain.toLower().unicode(), hit.tone == 5 ? 0 : hit.tone});
        } else if (nasalOrEhat(c, &letter)) {
            current.letters.push_back(letter);
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            current.letters.push_back({c.toLower().unicode(), 0});
        } else if (c >= u'1' && c <= u'5' && !current.letters.empty()) {
            current.trailingTone = c.digitValue();
            finish();
        } else if (c.isMark()) {
            // A stray combining mark (one that has no precomposed form) says nothing about the syllable.
        } else {
            finish();
        }
    }
    finish();
    return runs;
}

QString plainText(const std::vector<Letter> &letters, size_t from, size_t to)
{
    QString text;
    for (size_t i = from; i < to; ++i)
        text.append(QChar(letters[i].plain));
    return text;
}

// Cuts one run into syllables: each must be a pinyin syllable with at most one tone mark; among the ways
// that satisfy this the one with the least penalty, then with the fewest syllables, wins.
QStringList syllablesOfRun(const Run &run)
{
    const std::vector<Letter> &letters = run.letters;
    const size_t size = letters.size();
    struct Best {
        int cost = std::numeric_limits<int>::max();
        int count = 0;
        size_t start = 0; // where the last syllable of this prefix starts
        int tone = 0;
    };
    std::vector<Best> best(size + 1);
    best[0].cost = 0;
    const Syllabary &known = syllabary();
    for (size_t end = 1; end <= size; ++end) {
        int node = Syllabary::kRoot;
        int marks = 0;
        int tone = 0;
        for (size_t length = 1; length <= size_t(kLongestSyllable) && length <= end; ++length) {
            const size_t start = end - length;
            node = known.step(node, letters[start].plain);
            if (node == Syllabary::kNone)
                break;
            if (letters[start].tone != 0) {
                ++marks;
                tone = letters[start].tone;
            }
            if (marks > 1)
                break;
            if (best[start].cost == std::numeric_limits<int>::max())
                continue;
            const bool interjection = known.isInterjection(node);
            if (!interjection && !known.isSyllable(node))
                continue;
            int cost = best[start].cost;
            const char16_t first = letters[start].plain;
            if (start > 0 && (first == u'a' || first == u'o' || first == u'e'))
                cost += kVowelStartCost;
            if (length == 1 && first == u'r')
                cost += kLoneRCost;
            if (interjection && !(start == 0 && end == size))
                cost += kInterjectionCost;
            const int count = best[start].count + 1;
            if (cost < best[end].cost || (cost == best[end].cost && count < best[end].count))
                best[end] = {cost, count, start, tone};
        }
    }

    QStringList syllables;
    if (best[size].cost == std::numeric_limits<int>::max()) {
        // Not pinyin (an abbreviation, a foreign word): pass the letters on with the marks as digits.
        QString text;
        for (const Letter &letter : letters) {
            text.append(QChar(letter.plain));
            if (letter.tone != 0)
                text.append(QChar(char16_t(u'0' + letter.tone)));
        }
        if (run.trailingTone != 0)
            text.append(QChar(char16_t(u'0' + run.trailingTone)));
        syllables.append(text);
        return syllables;
    }
    bool last = true;
    for (size_t end = size; end > 0; end = best[end].start) {
        int tone = best[end].tone;
        if (tone == 0)
            tone = (last && run.trailingTone != 0) ? run.trailingTone : 5;
        syllables.prepend(plainText(letters, best[end].start, end) + QChar(char16_t(u'0' + tone)));
        last = false;
    }
    return syllables;
}

} // namespace

QStringList numberedSyllables(QStringView toned)
{
    QStringList syllables;
    for (const Run &run : splitIntoRuns(toned))
        syllables.append(syllablesOfRun(run));
    return syllables;
}

QString numberedPinyin(QStringView toned)
{
    return numberedSyllables(toned).join(u' ');
}

} // namespace wordlark
