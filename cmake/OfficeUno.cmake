# LibreOffice's C++ UNO SDK (Debian's libreoffice-dev). When it is present, the office API
# headers that the office backend uses are generated into the build tree by cppumaker, and
# LINEFORGE_HAVE_UNO is set. Without it the backend is built without UNO and tells the user
# which package to install.
set(LINEFORGE_OFFICE_DIR /usr/lib/libreoffice CACHE PATH "LibreOffice installation (program/ and sdk/)")
set(LF_UNO_SDK ${LINEFORGE_OFFICE_DIR}/sdk)
set(LF_UNO_PROGRAM ${LINEFORGE_OFFICE_DIR}/program)

if(EXISTS ${LF_UNO_SDK}/bin/cppumaker AND EXISTS ${LF_UNO_PROGRAM}/types/offapi.rdb)
    set(LINEFORGE_HAVE_UNO ON)
else()
    set(LINEFORGE_HAVE_UNO OFF)
    message(STATUS "LibreOffice SDK not found: .doc, .rtf and .odt documents will be refused")
    return()
endif()

# Only the types the backend names; cppumaker adds the types they depend on.
set(LF_UNO_TYPES
    com.sun.star.uno.DeploymentException
    com.sun.star.uno.XComponentContext
    com.sun.star.uno.XAggregation
    com.sun.star.uno.XWeak
    com.sun.star.lang.XTypeProvider
    com.sun.star.lang.XComponent
    com.sun.star.lang.XMultiComponentFactory
    com.sun.star.lang.XMultiServiceFactory
    com.sun.star.lang.XServiceInfo
    com.sun.star.lang.DisposedException
    com.sun.star.lang.IllegalArgumentException
    com.sun.star.bridge.BridgeFactory
    com.sun.star.bridge.UnoUrlResolver
    com.sun.star.connection.NoConnectException
    com.sun.star.frame.Desktop
    com.sun.star.frame.XDesktop2
    com.sun.star.frame.XComponentLoader
    com.sun.star.frame.XStorable
    com.sun.star.frame.XModel
    com.sun.star.util.XCloseable
    com.sun.star.util.XReplaceable
    com.sun.star.util.XReplaceDescriptor
    com.sun.star.util.XPropertyReplace
    com.sun.star.util.XModifiable
    com.sun.star.beans.XPropertySet
    com.sun.star.beans.PropertyValue
    com.sun.star.container.XEnumerationAccess
    com.sun.star.container.XIndexAccess
    com.sun.star.container.XNameAccess
    com.sun.star.text.XTextDocument
    com.sun.star.text.XText
    com.sun.star.text.XTextCursor
    com.sun.star.text.XTextRange
    com.sun.star.text.XTextContent
    com.sun.star.text.XTextFrame
    com.sun.star.text.XTextTable
    com.sun.star.text.XTextFramesSupplier
    com.sun.star.text.XTextSectionsSupplier
    com.sun.star.text.XRelativeTextContentInsert
    com.sun.star.text.ControlCharacter
    com.sun.star.text.XParagraphCursor
    com.sun.star.text.XTextViewCursorSupplier
    com.sun.star.view.XSelectionSupplier
    com.sun.star.datatransfer.XTransferableSupplier
    com.sun.star.container.XEnumeration
    com.sun.star.document.XTypeDetection
    com.sun.star.frame.XLoadable
    com.sun.star.task.XInteractionHandler
    com.sun.star.task.XInteractionRequest
    com.sun.star.task.XInteractionAbort
    com.sun.star.task.XInteractionDisapprove
    com.sun.star.io.SequenceInputStream
    com.sun.star.io.SequenceOutputStream
    com.sun.star.io.XSequenceOutputStream
    com.sun.star.io.IOException
    com.sun.star.document.MacroExecMode
    com.sun.star.document.UpdateDocMode
    com.sun.star.drawing.XDrawPageSupplier
    com.sun.star.drawing.XShapeDescriptor
    com.sun.star.container.XNamed
    com.sun.star.text.TextContentAnchorType
    com.sun.star.text.XTextRangeCompare
    com.sun.star.document.XRedlinesSupplier
    com.sun.star.util.XSearchable)
list(JOIN LF_UNO_TYPES ";" LF_UNO_TYPE_ARG)

set(LF_UNO_INCLUDE ${CMAKE_BINARY_DIR}/uno-include)
set(LF_UNO_STAMP ${LF_UNO_INCLUDE}/.stamp)
add_custom_command(
    OUTPUT ${LF_UNO_STAMP}
    COMMAND ${LF_UNO_SDK}/bin/cppumaker -Gc -O${LF_UNO_INCLUDE} "-T${LF_UNO_TYPE_ARG}"
            ${LF_UNO_PROGRAM}/types.rdb ${LF_UNO_PROGRAM}/types/offapi.rdb
    COMMAND ${CMAKE_COMMAND} -E touch ${LF_UNO_STAMP}
    DEPENDS ${CMAKE_CURRENT_LIST_FILE}
    COMMENT "Generating the LibreOffice API headers the office backend uses"
    VERBATIM)
add_custom_target(lf_uno_headers DEPENDS ${LF_UNO_STAMP})

add_library(lf_uno INTERFACE)
add_dependencies(lf_uno lf_uno_headers)
target_include_directories(lf_uno SYSTEM INTERFACE ${LF_UNO_INCLUDE} ${LF_UNO_SDK}/include)
target_compile_definitions(lf_uno INTERFACE LINUX UNX GCC CPPU_ENV=gcc3 LINEFORGE_HAVE_UNO=1
                                            LINEFORGE_OFFICE_PROGRAM="${LF_UNO_PROGRAM}")
target_link_directories(lf_uno INTERFACE ${LF_UNO_SDK}/lib)
target_link_libraries(lf_uno INTERFACE uno_cppuhelpergcc3 uno_cppu uno_salhelpergcc3 uno_sal)
target_link_options(lf_uno INTERFACE "LINKER:-rpath,${LF_UNO_PROGRAM}")
if(LINEFORGE_SANITIZE)
    # The objects the office hands over are proxies of UNO's bridge, whose tables of virtual
    # functions are made at run time without the type information the vptr check reads: the
    # check would stop the program at its first call into the office.
    target_compile_options(lf_uno INTERFACE -fno-sanitize=vptr)
endif()
