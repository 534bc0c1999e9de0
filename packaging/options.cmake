# The release's names, given at configure time (-DQUENRASTILAN_MAINTAINER=... and so on): set before
# the tests are read, since the package's tests name the desktop id too.
set(QUENRASTILAN_MAINTAINER "Quenrastilan developers <quenrastilan@example.org>" CACHE STRING
  "The Debian package's maintainer, \"Name <address>\", also named in its changelog")
set(QUENRASTILAN_HOMEPAGE "https://quenrastilan.example.org/" CACHE STRING
  "The address the web page is published at, ending in /: the package's homepage, and the AppStream
  screenshots are its screenshots/ folder (scripts/release puts them in the page's archive)")
# The id the desktop and software centres know the show by: the page's host reversed. It names
# the desktop entry and the metainfo file, and must not change once a release carries it.
set(QUENRASTILAN_APP_ID "org.example.quenrastilan" CACHE STRING
  "The AppStream and desktop id, in reverse-DNS form")
