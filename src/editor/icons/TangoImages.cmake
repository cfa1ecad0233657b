# Pictures of the shared image list taken from the Tango icon theme (Debian
# package tango-icon-theme, public domain). The files are copied at build time
# and never kept in the repository; ImageList.cpp paints every index not named
# here.
set(LAPORA_TANGO_DIR /usr/share/icons/Tango/16x16 CACHE PATH
    "Folder of the 16 x 16 Tango icons (package tango-icon-theme)")

set(LAPORA_TANGO_IMAGES
    00 actions/document-new
    01 actions/document-open
    02 actions/document-save
    03 actions/document-save-as
    04 actions/document-print-preview
    05 actions/document-print
    06 actions/system-log-out
    11 actions/edit-delete
    12 mimetypes/font-x-generic
    13 mimetypes/image-x-generic
    14 mimetypes/x-office-drawing
    15 actions/format-text-bold
    16 actions/format-text-italic
    17 actions/format-text-underline
    18 actions/format-justify-left
    19 actions/format-justify-center
    20 actions/format-justify-right
    23 actions/go-up
    24 actions/go-down
    53 actions/view-fullscreen
    56 apps/preferences-desktop-font
    57 categories/preferences-system
    58 mimetypes/package-x-generic
    59 apps/help-browser
    60 apps/internet-web-browser
    61 apps/internet-news-reader
    62 actions/mail-message-new
    63 actions/edit-undo
    64 actions/edit-redo
    65 devices/printer
    67 mimetypes/x-office-address-book
    74 actions/edit-copy
    75 actions/edit-cut
    76 actions/edit-paste)

# Copies each picture as images/NN.png and compiles them into target under
# :/images/NN.png. configure_file reads through the theme's symlinks and
# reruns CMake when a source picture changes.
function(lapora_add_tango_images target)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/images)
    set(files)
    set(pairs ${LAPORA_TANGO_IMAGES})
    while(pairs)
        list(POP_FRONT pairs index name)
        set(source ${LAPORA_TANGO_DIR}/${name}.png)
        if(NOT EXISTS ${source})
            message(FATAL_ERROR "Missing ${source}: install tango-icon-theme or set LAPORA_TANGO_DIR")
        endif()
        configure_file(${source} ${dir}/${index}.png COPYONLY)
        list(APPEND files ${dir}/${index}.png)
    endwhile()
    qt_add_resources(${target} editor_images PREFIX /images BASE ${dir} FILES ${files})
endfunction()
