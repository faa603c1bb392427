# Makes the site one release (cmake -P): the program's script and WebAssembly
# under names that carry a digest of their contents, the page that names
# them, and the service worker with the list of the site's files and a
# digest of them all. However long a browser or a host keeps a file, a new
# release's page asks for new names. Takes: program (the folder the compiler
# wrote rotary-envelope.js and .wasm to), site, files (the site's other
# files), page and worker (the templates), release.
set(digest_length 12)
foreach(kind js wasm)
  file(SHA256 ${program}/rotary-envelope.${kind} digest)
  string(SUBSTRING ${digest} 0 ${digest_length} digest)
  set(${kind}_file rotary-envelope.${digest}.${kind})
  # Only this release's files stay in the site.
  file(GLOB earlier ${site}/rotary-envelope.*.${kind})
  list(REMOVE_ITEM earlier ${site}/${${kind}_file})
  if(earlier)
    file(REMOVE ${earlier})
  endif()
  file(COPY_FILE ${program}/rotary-envelope.${kind} ${site}/${${kind}_file} ONLY_IF_DIFFERENT)
endforeach()
set(script_file ${js_file})
set(program_file ${wasm_file})
configure_file(${page} ${site}/index.html @ONLY)

set(digests "")
set(quoted "")
foreach(file IN LISTS files ITEMS index.html ${script_file} ${program_file})
  file(SHA256 ${site}/${file} digest)
  string(APPEND digests ${digest})
  list(APPEND quoted "'${file}'")
endforeach()
string(SHA256 site_digest "${digests}")
string(SUBSTRING ${site_digest} 0 16 site_digest)
list(JOIN quoted ", " site_files)
configure_file(${worker} ${site}/service-worker.js @ONLY)
