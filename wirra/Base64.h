#pragma once
// CBase64: RFC 4648 Base64 (standard alphabet, "=" padding, no line breaks). Text is encoded as its
// UTF-8 bytes, so an ASCII credential gives the same result as encoding its characters one by one.

#include <QByteArray>
#include <QString>

class CBase64 {
public:
    // The first length characters of text (all of it when length is negative or too large).
    static QString Encode(const QString& text, int length);
    static QString Encode(const char* bytes, int n);
};
