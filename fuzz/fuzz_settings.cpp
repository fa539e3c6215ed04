// Feeds arbitrary bytes to the settings field rule and every conversion. Bad texts must end
// in SettingsError; accepted values must survive their own number texts unchanged.
#include "settings/conversions.h"
#include "settings/fieldreader.h"
#include "settings/settingserror.h"
#include "settings/settingsfiles.h"

#include <cstdint>
#include <cstdlib>

using namespace settings;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

template<typename Convert> void tryConvert(Convert convert)
{
    try {
        convert();
    } catch (const SettingsError &) { }
}

void exerciseValue(const QByteArray &value)
{
    tryConvert([&] {
        const platform::Colour colour = toColour(value);
        check(colour <= 0xFFFFFF);
        check(toColour(dropLeading("FC-" + numberText(colour), 4)) == colour);
    });
    tryConvert([&] {
        const int state = toWindowState(value);
        check(state >= 0 && state <= 2);
        check(toWindowState(dropLeading("State-" + numberText(state), 7)) == state);
    });
    tryConvert([&] {
        const float twips = toTwips(QString::fromLatin1(value));
        check(twips / 15 >= -32768.0f && twips / 15 <= 32767.0f);
        check(toTwips(twipsText(twips)) == twips);
    });
    tryConvert([&] {
        const float size = toFontSize(value);
        check(size > 0.0f && size <= 2160.0f);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FieldReader reader(bytes);
    QList<QByteArray> fields;
    try {
        for (;;) {
            const QByteArray value = reader.next();
            fields.append(value);
            // Each line as a whole and with its key dropped as the reader drops it there.
            // Every refused text costs a throw, which is slow under the sanitizers, so no more.
            static constexpr qsizetype keyLengths[] = { 0, 4, 4, 7, 4, 5, 8, 7, 8, 7 };
            exerciseValue(value);
            exerciseValue(dropLeading(value, keyLengths[(fields.size() - 1) % 10]));
        }
    } catch (const SettingsError &) { }

    // Whatever texts the geometry holds, the written file always reads back as ten lines.
    QuorvinIni ini;
    QString *texts[] = { &ini.versionText, &ini.winTop, &ini.winLeft, &ini.nfoHeight, &ini.nfoWidth,
        &ini.dizHeight, &ini.dizWidth };
    for (qsizetype i = 0; i < fields.size() && i < qsizetype(std::size(texts)); ++i)
        *texts[i] = QString::fromLatin1(fields[i]);
    FieldReader back(serializeQuorvinIni(ini));
    for (int line = 0; line < 10; ++line)
        back.next();
    try {
        back.next();
        check(false);
    } catch (const SettingsError &) { }
    return 0;
}
