% bytes = status_bytes (field)
%   A field of /proc/self/status ("VmRSS", "VmHWM") in bytes.
function bytes = status_bytes (field)
  status = fileread ("/proc/self/status");
  bytes = 1024 * str2double (regexp (status, [field, ':\s*(\d+)'], "tokens", "once"){1});
end
