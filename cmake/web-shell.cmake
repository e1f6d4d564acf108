# Run with cmake -P: makes the page's shell from its template, with the icon's data: URL in place.
#   -DTEMPLATE=quorbel_page.html.in -DICON_URL=file-with-the-url -DOUTPUT=shell.html
file(READ ${ICON_URL} QUORBEL_ICON_URL)
string(STRIP "${QUORBEL_ICON_URL}" QUORBEL_ICON_URL)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
