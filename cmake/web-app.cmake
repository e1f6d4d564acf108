# Run with cmake -P: makes the installable web app's page and service worker in APP_DIR, beside its
# manifest and icons, from the single-file page.
#   -DPAGE=quorbel.html -DSERVICE_WORKER=quorbel_service_worker.js.in -DAPP_DIR=app
#   -DFILES=manifest.webmanifest,icon-192.png,...   (already in APP_DIR)
# The page is the single file with the manifest linked and the service worker registered, and its
# content security policy letting both come from the page's own site; the single file itself has
# neither, so it still opens from disk with nothing beside it.
file(READ ${PAGE} html)
foreach(change "default-src 'none';=default-src 'none'; manifest-src 'self'; worker-src 'self';"
               "img-src data:=img-src 'self' data:"
               "</head>=<link rel=\"manifest\" href=\"manifest.webmanifest\">\n<script>if ('serviceWorker' in navigator) navigator.serviceWorker.register('service-worker.js');</script>\n</head>")
  string(FIND "${change}" "=" split)
  string(SUBSTRING "${change}" 0 ${split} from)
  math(EXPR split "${split} + 1")
  string(SUBSTRING "${change}" ${split} -1 to)
  string(FIND "${html}" "${from}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE}: no \"${from}\" to make the web app's page from")
  endif()
  string(REPLACE "${from}" "${to}" html "${html}")
endforeach()
file(WRITE ${APP_DIR}/index.html "${html}")

# The cache's name changes with any file's contents.
set(all "")
set(listed "'./'")
string(REPLACE "," ";" FILES "${FILES}")
foreach(name index.html ${FILES})
  file(SHA256 ${APP_DIR}/${name} sum)
  string(APPEND all "${sum}")
  string(APPEND listed ", '${name}'")
endforeach()
string(SHA256 version "${all}")
string(SUBSTRING "${version}" 0 16 QUORBEL_APP_VERSION)
set(QUORBEL_APP_FILES "${listed}")
configure_file(${SERVICE_WORKER} ${APP_DIR}/service-worker.js @ONLY)
