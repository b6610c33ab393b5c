// Each subcommand of trazvik-cli lives in its own file and registers itself
// on the application here.
#pragma once

namespace CLI {
class App;
}

namespace trazvik::cli {

}  // namespace trazvik::cli
