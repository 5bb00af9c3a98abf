#pragma once
#include "core/fieldfile.h"
#include "ui/fieldkeys.h"

#include <QValidator>

// Keeps out of a text field, typed or pasted, what the files cannot hold: the double quote
// (nothing is escaped), control characters such as a pasted line break (a record is one line)
// and characters outside Windows-1252 (they would reach the disk as '?' while the screen shows
// them). Optionally turns a to z into capitals as the entry line does, leaving other letters
// alone so the text keeps its length and the caret its place.
class TextFilter : public QValidator {
public:
    explicit TextFilter(bool capitalise, QObject *parent = nullptr)
        : QValidator(parent), m_capitalise(capitalise)
    {
    }

    State validate(QString &input, int &pos) const override
    {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            if (input[i] == u'"' || !fieldfile::canHold(input[i])) {
                input.remove(i, 1);
                if (i < pos)
                    --pos;
            }
        }
        if (m_capitalise) {
            for (QChar &c : input)
                c = fieldkeys::filter(fieldkeys::Rule::Capital, c);
        }
        return Acceptable;
    }

    bool capitalises() const { return m_capitalise; }

private:
    bool m_capitalise;
};
