# How Verinova Cadastral installs and becomes a Debian package.
# Included before the folders, which use the names set here.
include(GNUInstallDirs)

# The reverse-DNS name the desktop knows the program by: its menu entry,
# icon and AppStream data, and the window's tie to them.
set(VERINOVA_APP_ID br.org.verinova.Cadastral)
# The day this version was released, for the AppStream data, the manual and
# the Debian changelog.
set(VERINOVA_RELEASE_DATE 2026-12-08)
set(VERINOVA_PACKAGE verinova-cadastral)
set(VERINOVA_MAINTAINER "Projeto Verinova Cadastral <contato@verinova.org.br>")
set(VERINOVA_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VERINOVA_PACKAGE})

# verinova_gzip(INPUT OUTPUT): OUTPUT is INPUT compressed as Debian wants it,
# at maximum and without the name and time that would make every build differ.
function(verinova_gzip input output)
    add_custom_command(OUTPUT ${output}
        COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" gzip ${input} ${output}
        DEPENDS ${input}
        VERBATIM)
endfunction()

# The Debian documents: the licence and the packaging's changelog.
execute_process(
    COMMAND date -u -R -d "${VERINOVA_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE VERINOVA_RELEASE_DATE_RFC2822
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in
    ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian @ONLY)
verinova_gzip(${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian
    ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_target(verinova-debian-changelog ALL
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian.gz)
install(FILES
    ${CMAKE_CURRENT_LIST_DIR}/debian/copyright
    ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian.gz
    DESTINATION ${VERINOVA_DOCDIR})

set(CPACK_GENERATOR DEB)
# The descriptions hold quotes and line ends, written to CPack's settings as they are.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME ${VERINOVA_PACKAGE})
set(CPACK_PACKAGE_VENDOR "Projeto Verinova Cadastral")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VERINOVA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VERINOVA_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library link shows: Qt's own texts in Portuguese and the fonts the
# grid and the printout are measured in. The SVG support the pictures are
# drawn with (libqt6svg6, plugins included) comes with the libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "leitor do arquivo de retorno da qualificação cadastral")
set(CPACK_PACKAGE_DESCRIPTION [=[Departamentos de pessoal enviam o CPF, o NIS, o nome e a data de nascimento
dos trabalhadores à qualificação cadastral em lote e recebem um arquivo de
retorno com uma linha de códigos por trabalhador. O Verinova Cadastral abre
esse arquivo numa planilha, troca cada código por "OK" ou por uma mensagem
em português, deixa só os problemas e imprime o resultado. Salva o que a
planilha mostra em XLSX, CSV ou PDF, também pela linha de comando, sem
janela, e lê arquivos em UTF-8, Windows-1252 e UTF-16.

Payroll and personnel offices send their workers' CPF, NIS, name and date
of birth to the government's batch qualification check and get back a
return file with one line of result codes per worker. Verinova Cadastral
opens that file in a spreadsheet grid, turns every code into "OK" or a
message in Portuguese, keeps only the problems and prints the result. It
saves what the grid shows as XLSX, CSV or PDF, also from the command line
without a window, and reads UTF-8, Windows-1252 and UTF-16 files.]=])
include(CPack)
