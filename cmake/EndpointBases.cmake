# The build-time addresses follow the rule of their run-time overrides: https,
# or plain http only on a loopback host. Included by the build and runnable on
# its own: cmake -DTENDER_API_BASE=... -P cmake/EndpointBases.cmake
set(tender_loopback "(localhost|127\\.[0-9]+\\.[0-9]+\\.[0-9]+|\\[::1\\])")
foreach(name TENDER_API_BASE TENDER_WEB_BASE TENDER_IDENTITY_BASE TENDER_TOKEN_BASE)
  if(NOT DEFINED ${name})
    continue()
  endif()
  set(value "${${name}}")
  if(NOT value MATCHES "^https://[^/?#@:]+(:[0-9]+)?(/|$)"
     AND NOT value MATCHES "^http://${tender_loopback}(:[0-9]+)?(/|$)")
    message(FATAL_ERROR "${name} is \"${value}\": use https, or plain http only on a loopback address")
  endif()
endforeach()
