// The core library is driven the same way by the desktop program, the CLI
// and the tests; it must never depend on Qt. Every core header includes this
// one, so a Qt header seen while building the core stops the build here.
// The desktop program's own code (src/ui, built with TRAZVIK_QT_FRONTEND)
// naturally sees both.
#pragma once
#if !defined(TRAZVIK_QT_FRONTEND) && (defined(QT_VERSION) || defined(QT_CORE_LIB))
#error "The Trazvik core must not see Qt headers: keep Qt in src/ui."
#endif
