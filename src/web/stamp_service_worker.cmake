# Writes the service worker (cmake -P) with the list of the site's files and a
# digest of their contents, so that every build that changes one of them is a
# new worker with a cache of its own. Takes: site, files (a list), template.
set(digests "")
set(quoted "")
foreach(file IN LISTS files)
  file(SHA256 ${site}/${file} digest)
  string(APPEND digests ${digest})
  list(APPEND quoted "'${file}'")
endforeach()
string(SHA256 site_digest "${digests}")
string(SUBSTRING ${site_digest} 0 16 site_digest)
list(JOIN quoted ", " site_files)
configure_file(${template} ${site}/service-worker.js @ONLY)
