#pragma once
#include <QtCore/qglobal.h>
#if defined(KELM_HOST_LIBRARY)
#define KELMHOST_EXPORT Q_DECL_EXPORT
#else
#define KELMHOST_EXPORT Q_DECL_IMPORT
#endif
