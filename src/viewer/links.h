#pragma once

#include "textarea/textlink.h"

#include <QByteArrayView>

namespace viewer {

// The links in a shown text (the bytes the text area holds, one byte a cell): web addresses
// starting with http://, https:// or ftp://; host names starting with www. (opened as http://
// and the name); e-mail addresses (name@host.tld, opened as mailto:name@host.tld) and mailto:
// addresses. An address is ASCII: it ends at a blank, a control character, a byte that is not
// ASCII (block, shade and line art among them, so art is never part of a link), a quote or an
// angle bracket; a trailing . , ; : ! ? and an unbalanced ) or ] are not part of it. An address
// starts only where no ASCII letter or digit comes before it (so "xwww.a.org" holds none).
textarea::TextLinks findLinks(QByteArrayView text);

// The companion's argument that opens an address: "$" and a web address, or ">" and a
// mailto: address.
QString companionArgument(const QString &address);

} // namespace viewer
