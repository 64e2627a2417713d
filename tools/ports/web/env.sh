# Sourced by the browser build's scripts. Makes Debian's Emscripten work with
# whichever node is first on PATH:
# - emcc's JavaScript optimiser needs Debian's acorn, which only Debian's node
#   finds by itself; NODE_PATH points any node at Debian's folder of modules.
# - Node 18 and later have a fetch of their own, which the generated .js then
#   uses to load its .wasm from a file path and fails; --no-experimental-fetch
#   turns it off wherever we run such a .js under node (CMake's try_run too).

export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
vermix_web_node="$(command -v node || command -v nodejs)"
vermix_web_node_run=("$vermix_web_node" --no-experimental-fetch)
