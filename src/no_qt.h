// The core library is driven the same way by the desktop program, the CLI
// and the tests; it must never depend on Qt. Every core header includes this
// one, so a Qt header included before the core stops the build here.
#pragma once
#if defined(QT_VERSION) || defined(QT_CORE_LIB)
#error "The Trazvik core must not see Qt headers: include core headers before Qt ones, or keep Qt in src/ui."
#endif
