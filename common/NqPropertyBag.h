#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

/*
 * The saved properties of a control, as its host keeps them with the host
 * window's description. Entries keep the order they were written in; names
 * are matched without regard to case, because hosts have saved them in
 * whatever case their designer used. A value equal to the default given when
 * writing is omitted, and a missing entry reads as the default given when
 * reading, so "omitted" and "default" stay the same thing.
 */
class NqPropertyBag
{
public:
    /// Stores value under name, replacing an entry of that name; a value equal
    /// to a valid defaultValue removes the entry instead.
    void WriteProperty(const QString& name, const QVariant& value,
                       const QVariant& defaultValue = QVariant())
    {
        const qsizetype at = indexOf(name);
        if (defaultValue.isValid() && value == defaultValue) {
            if (at >= 0)
                m_entries.removeAt(at);
            return;
        }
        if (at >= 0)
            m_entries[at].second = value;
        else
            m_entries.append({name, value});
    }

    /// The stored value, or defaultValue when there is no entry of that name.
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = QVariant()) const
    {
        const qsizetype at = indexOf(name);
        return at >= 0 ? m_entries.at(at).second : defaultValue;
    }

    bool contains(const QString& name) const { return indexOf(name) >= 0; }
    bool isEmpty() const { return m_entries.isEmpty(); }
    qsizetype count() const { return m_entries.size(); }

    /// Entry names in the order they were first written.
    QStringList names() const
    {
        QStringList out;
        for (const auto& entry : m_entries)
            out.append(entry.first);
        return out;
    }

private:
    qsizetype indexOf(const QString& name) const
    {
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            if (m_entries.at(i).first.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }

    QList<QPair<QString, QVariant>> m_entries;
};
