#include "app/help/HelpBrowser.h"

#include "app/help/HelpTopics.h"
#include "common/Windows1250.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>

HelpBrowser::HelpBrowser(QWidget *parent)
    : QTextBrowser(parent)
{
    // Links are followed here, not by QTextBrowser: it would hand our own
    // scheme to the desktop as if it were an external address.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::follow);
}

bool HelpBrowser::openFile(const QString &path)
{
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    if (m_file.isOpen() && m_file.path() == absolute && m_modified == info.lastModified() && m_size == info.size())
        return true;

    // What is on screen, in the history and in the document's picture cache
    // came from the old file. Clearing also makes QTextBrowser load the next
    // page even when its address is the one shown now.
    clearHistory();
    clear();
    m_modified = info.lastModified();
    m_size = info.size();
    return m_file.open(absolute);
}

void HelpBrowser::showPage(const QString &pageName)
{
    setSource(pageUrl(pageName));
}

QUrl HelpBrowser::pageUrl(const QString &pageName)
{
    QUrl url;
    url.setScheme(Scheme);
    url.setPath(QLatin1Char('/') + pageName);
    return url;
}

QString HelpBrowser::missingPageHtml(const QString &objectPath)
{
    static const QRegularExpression topicPage(QStringLiteral("^/?(-?\\d+)\\.htm$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch topic = topicPage.match(objectPath);
    QString name = objectPath;
    if (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    const QString what = topic.hasMatch()
                             ? QStringLiteral("Tema %1 ne postoji u datoteci pomoći.").arg(topic.captured(1))
                             : QStringLiteral("Stranica %1 ne postoji u datoteci pomoći.").arg(name.toHtmlEscaped());
    return QStringLiteral("<html><head><title>Pomoć</title>"
                          "<link rel=\"stylesheet\" type=\"text/css\" href=\"stil.css\"></head><body>"
                          "<h1>%1</h1>"
                          "<p>Datoteka pomoći možda pripada drugom izdanju programa. "
                          "Popis svih tema nalazi se u <a href=\"%2\">kazalu</a>.</p>"
                          "</body></html>")
        .arg(what, HelpTopics::IndexPage);
}

QString HelpBrowser::decodePage(const QByteArray &bytes)
{
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (decoder.isValid())
        return decoder.decode(bytes);
    // Qt knows only the Unicode encodings and Latin-1 without ICU; pages
    // written for the Central European code page are decoded by our own codec.
    return Windows1250::decode(bytes);
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    // QTextDocument hands over names already resolved against the page's address.
    const QUrl &url = name;
    if (url.scheme() != Scheme)
        return {}; // nothing outside the help file is loaded into a page
    const QString object = url.path(QUrl::FullyDecoded);
    const std::optional<QByteArray> bytes = m_file.read(object);

    switch (type) {
    case QTextDocument::HtmlResource: return bytes ? decodePage(*bytes) : missingPageHtml(object);
    case QTextDocument::StyleSheetResource: return bytes ? QString::fromUtf8(*bytes) : QString();
    case QTextDocument::ImageResource: {
        if (!bytes)
            return {};
        const QImage image = QImage::fromData(*bytes);
        return image.isNull() ? QVariant() : QVariant(image);
    }
    default: return bytes ? QVariant(*bytes) : QVariant();
    }
}

void HelpBrowser::follow(const QUrl &url)
{
    const QString scheme = url.scheme();
    if (scheme == Scheme)
        setSource(url);
    else if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"))
        QDesktopServices::openUrl(url);
}
