#include "ui/uitexts.h"

#include <array>

namespace wordlark {
namespace {

const std::array<const char16_t *, UiTextCount> kTexts = {
    u"Вопрос",
    u"Ответ",
    u"Пиньинь",
    u"Иерогл (прост)",
    u"Иерогл (полн)",
    u"Урок №",
    u"Перевод",
    u"Выбор уроков",
    u" Осталось слов:",
    u"Всего слов:",
    u"Ошибок:",
    u"Максимум ответов:",
    u"Добавлять слова из",
    u"выделенных уроков",
    u"всех уроков",
    u"Буквы",
    u"Простые иероглифы",
    u"Полные иероглифы",
    u"Показать ответы",
    u"Скрыть ответы",
    u"Статистика",
    u"Очень плохо!!!",
    u"Плохо!",
    u"Удовлетворительно.",
    u"Хорошо.",
    u"Отлично!",
    u"Слова кончились. Начните сначала.",
    u"Неповторяющихся иероглифов (простых):",
    u"Неповторяющихся иероглифов (полных):",
    u"Все уроки",
    u"Выделенные уроки",
    u"Гориз/Вертик",
    u"Звук",
};

} // namespace

QString UiText(int number)
{
    if (number < 1 || number > UiTextCount)
        return {};
    return QString::fromUtf16(kTexts[size_t(number - 1)]);
}

QString counterText(UiTextId prefix, int value)
{
    return UiText(prefix) + u' ' + QString::number(value);
}

QString gradeForMistakes(int mistakes)
{
    if (mistakes <= 0)
        return UiText(UiTextId::GradeExcellent);
    if (mistakes <= 2)
        return UiText(UiTextId::GradeGood);
    if (mistakes == 3)
        return UiText(UiTextId::GradeSatisfactory);
    if (mistakes == 4)
        return UiText(UiTextId::GradeBad);
    return UiText(UiTextId::GradeVeryBad);
}

QString noQuestionHint(int totalWordCount)
{
    if (totalWordCount == 0)
        return QStringLiteral("В словаре нет слов: Словарь → Сменить");
    return QStringLiteral("Выберите уроки: Урок → Выбрать");
}

QString emptyDictionaryMessage()
{
    return QStringLiteral("В словаре нет ни одного слова. Выберите другой словарь: Словарь → Сменить.");
}

} // namespace wordlark
