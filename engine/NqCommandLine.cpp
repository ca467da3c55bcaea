#include "NqCommandLine.h"

namespace Ostravin {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

QStringList SplitCommandLine(const QString& commandLine)
{
    QStringList words;
    const qsizetype size = commandLine.size();
    qsizetype at = 0;
    while (at < size && isBlank(commandLine.at(at)))
        ++at;
    if (at == size)
        return words;

    // The program: quotes only group, so a path may hold blanks but never a quote.
    QString program;
    bool quoted = false;
    for (; at < size; ++at) {
        const QChar c = commandLine.at(at);
        if (c == u'"')
            quoted = !quoted;
        else if (isBlank(c) && !quoted)
            break;
        else
            program.append(c);
    }
    words.append(program);

    for (;;) {
        while (at < size && isBlank(commandLine.at(at)))
            ++at;
        if (at == size)
            break;

        QString word;
        quoted = false;
        while (at < size) {
            const QChar c = commandLine.at(at);
            if (isBlank(c) && !quoted)
                break;
            if (c == u'\\') {
                qsizetype slashes = 0;
                while (at < size && commandLine.at(at) == u'\\') {
                    ++slashes;
                    ++at;
                }
                if (at < size && commandLine.at(at) == u'"') {
                    word.append(QString(slashes / 2, u'\\'));
                    if (slashes % 2 == 1) {
                        word.append(u'"');
                        ++at;
                    }
                    // An even run leaves the quote to be read as a grouping mark.
                } else {
                    word.append(QString(slashes, u'\\'));
                }
                continue;
            }
            if (c == u'"') {
                if (quoted && at + 1 < size && commandLine.at(at + 1) == u'"') {
                    word.append(u'"');
                    at += 2;
                    continue;
                }
                quoted = !quoted;
                ++at;
                continue;
            }
            word.append(c);
            ++at;
        }
        words.append(word);
    }
    return words;
}

} // namespace Ostravin
