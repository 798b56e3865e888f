# Runs the build's address check on each case: cmake -DCHECK=<file> -P EndpointBasesTest.cmake
set(cases
  "TENDER_API_BASE=http://127.0.0.1:8787|accepted"
  "TENDER_WEB_BASE=http://localhost:8787|accepted"
  "TENDER_IDENTITY_BASE=http://[::1]:8787/identitytoolkit/v1/|accepted"
  "TENDER_TOKEN_BASE=https://securetoken.googleapis.com/|accepted"
  "TENDER_API_BASE=https://api.tender.example:8443|accepted"
  "TENDER_API_BASE=http://api.tender.example|refused"
  "TENDER_WEB_BASE=http://tender.example|refused"
  "TENDER_IDENTITY_BASE=http://identitytoolkit.googleapis.com/v1/|refused"
  "TENDER_TOKEN_BASE=http://10.0.0.2/securetoken/|refused"
  "TENDER_API_BASE=http://127.0.0.1.tender.example|refused"
  "TENDER_API_BASE=http://localhost@tender.example|refused"
  "TENDER_API_BASE=api.tender.example|refused"
)
set(failures 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 definition)
  list(GET parts 1 expected)
  execute_process(COMMAND ${CMAKE_COMMAND} "-D${definition}" -P ${CHECK}
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  set(got accepted)
  if(NOT status EQUAL 0)
    set(got refused)
  endif()
  if(NOT got STREQUAL expected)
    message(SEND_ERROR "${definition}: ${got}, expected ${expected}")
  endif()
endforeach()
