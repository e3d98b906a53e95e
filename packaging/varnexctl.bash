# bash completion for varnexctl. The commands come from "varnexctl --help", so new ones complete
# without a change here.
_varnexctl() {
  local cur prev
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  case "$prev" in
    --port)
      COMPREPLY=($(compgen -W "$(seq 1 32)" -- "$cur"))
      return
      ;;
    --device)
      COMPREPLY=($(compgen -f -- "${cur:-/dev/}"))
      return
      ;;
    --portmap | --ini | -o)
      COMPREPLY=($(compgen -f -- "$cur"))
      return
      ;;
    --alaw-dir | --log-dir)
      COMPREPLY=($(compgen -d -- "$cur"))
      return
      ;;
  esac
  local options="--port --device --portmap --accept-busy --yes --no --verbose --help"
  local commands command="" word
  commands=$("${COMP_WORDS[0]}" --help 2>/dev/null | sed -n '/^Commands:/,/^$/{s/^  \([a-z][a-z-]*\).*/\1/p}' | tr '\n' ' ')
  for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    if [[ " $commands " == *" $word "* ]]; then
      command=$word
      break
    fi
  done
  if [[ "$cur" == -* ]]; then
    local more=""
    [ -n "$command" ] && more=$("${COMP_WORDS[0]}" --help 2>/dev/null |
      sed -n "s/^  $command \(.*\)/\1/p" | grep -o -- '--*[a-z][a-z-]*' | tr '\n' ' ')
    COMPREPLY=($(compgen -W "$options $more" -- "$cur"))
  elif [ -z "$command" ]; then
    COMPREPLY=($(compgen -W "$commands" -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}
complete -o filenames -F _varnexctl varnexctl
