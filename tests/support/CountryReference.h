#pragma once
// The DXCC entities' names of a country file (cty.csv) read line by line with
// plain loops, to check the names the program shows against the file itself.

#include <QString>
#include <QStringList>
#include <vector>

class CountryReference {
public:
    /// The entities of the cty.csv at `path`; none when it cannot be read.
    explicit CountryReference(const QString &path);

    bool isEmpty() const { return m_entities.empty(); }

    /// The name of a log's DXC text (case and blanks around aside): the entity
    /// whose primary prefix it is, else the one with the longest prefix of its
    /// prefix list the text starts with; empty for none. Lines of other
    /// awards' areas ("*IT9") are no entities.
    QString name(const QString &text) const;

private:
    struct Entity {
        QString primary;
        QString name;
        QStringList prefixes;
    };
    std::vector<Entity> m_entities;
};
