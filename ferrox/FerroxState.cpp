#include "FerroxState.h"

QVector<OptionBinding> FerroxOptionBindings(FerroxState& s) {
    using B = OptionBinding;
    auto text = [](QString& f, B::Rule rule, const char* name) {
        return B{QString::fromLatin1(name), [&f] { return QVariant(f); },
                 [&f](const QVariant& v) { f = v.toString(); }, rule};
    };
    auto flag = [](bool& f, const char* name) {
        return B{QString::fromLatin1(name), [&f] { return QVariant(f); },
                 [&f](const QVariant& v) { f = v.toBool(); }, B::Always};
    };
    auto number = [](int& f, const char* name) {
        return B{QString::fromLatin1(name), [&f] { return QVariant(f); },
                 [&f](const QVariant& v) { f = v.toInt(); }, B::Always};
    };
    return {
        text(s.LOCAL_USER, B::NotNull, "LocalUser"),
        text(s.REMOTE_USER, B::NotNull, "StrRemoteUser"),
        number(s.STYLE_INDEX, "StyleIndx"),
        text(s.SENDFILE_PATH, B::NotBlank, "SaveFileFldr"),
        text(s.AUDFILE_PATH, B::NotBlank, "SavAudioFile"),
        text(s.FONT_NAME, B::Always, "Font"),
        // The size is held as a floating-point number but stored whole.
        B{QStringLiteral("FontSize"), [&s] { return QVariant(qRound(s.FONT_SIZE)); },
          [&s](const QVariant& v) { s.FONT_SIZE = v.toInt(); }, B::Always},
        flag(s.ALTERROW_FLG, "FontBold"),
        flag(s.CONNECTSTRT_FLG, "FontItalic"),
        // Stored unsigned; only the low 32 bits are the colour.
        B{QStringLiteral("FontColor"), [&s] { return QVariant(qint64(s.FONT_COLOR)); },
          [&s](const QVariant& v) { s.FONT_COLOR = quint32(v.toLongLong() & 0xFFFFFFFF); },
          B::Always},
        flag(s.BYPASSLIST_FLG, "ByPassList"),
        flag(s.USESTYLEFONT_FLG, "UseStyleFont"),
        number(s.WINLEFT, "Left"),
        number(s.WINTOP, "Top"),
        number(s.WINHEIGHT, "Height"),
        number(s.WINWIDTH, "Width"),
    };
}
