#pragma once

#include <QIcon>
#include <QString>

#include <initializer_list>

// An icon drawn from one of our SVG resources at each of the given pixel sizes.
QIcon SvgIcon(const QString &resource, std::initializer_list<int> sizes);
