# The browser build (emscripten): veltra.js and veltra.wasm, with the
# assets packed into veltra.data for the page to load before the game
# starts. tools/web/build.sh configures it and writes the page around it.

set_target_properties(veltra PROPERTIES SUFFIX ".js")
target_link_options(veltra PRIVATE
  # The page starts the game after the player's click, with the arguments
  # from its address, and reads files back for the tests.
  "-sINVOKE_RUN=0"
  "-sEXPORTED_RUNTIME_METHODS=[callMain,FS]"
  "-sEXPORTED_FUNCTIONS=[_main,_veltra_request_pause]"
  # A failure that ends the program (exit) ends its frames too.
  "-sEXIT_RUNTIME=1"
  "-sALLOW_MEMORY_GROWTH=1"
  "-sINITIAL_MEMORY=134217728"
  "-sENVIRONMENT=web"
  "-sFORCE_FILESYSTEM=1"
  # The player's best runs live in the browser's IndexedDB.
  "-lidbfs.js"
  "--preload-file" "${CMAKE_SOURCE_DIR}/assets@/veltra/assets"
  "--exclude-file" "*/README*")
